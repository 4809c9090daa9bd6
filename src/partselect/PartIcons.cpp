#include "partselect/PartIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <array>

namespace vantreel {
namespace {

struct IconSource {
    const char* key;
    std::array<const char*, 3> themeNames;  // tried in order; nullptr ends the list
    QStyle::StandardPixmap fallback;
};

constexpr IconSource kIcons[] = {
    {"folderlist", {"folder", nullptr, nullptr}, QStyle::SP_DirIcon},
    {"part", {"x-office-document", "text-x-generic", nullptr}, QStyle::SP_FileIcon},
    {"dmis", {"text-x-script", "text-x-source", nullptr}, QStyle::SP_FileIcon},
    {"up", {"go-up", nullptr, nullptr}, QStyle::SP_FileDialogToParent},
    {"new", {"folder-new", nullptr, nullptr}, QStyle::SP_FileDialogNewFolder},
    {"list", {"view-list-text", "view-list", nullptr}, QStyle::SP_FileDialogListView},
    {"details", {"view-list-details", nullptr, nullptr}, QStyle::SP_FileDialogDetailedView},
    {"selectdrive", {"drive-harddisk", "drive-removable-media", nullptr}, QStyle::SP_DriveHDIcon},
};

// The style's plain file picture with a coloured corner, so that a legacy
// DMIS file is told apart from a part at a glance.
QIcon MarkedFileIcon(const QIcon& file) {
    QIcon marked;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap = file.pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xd0, 0x70, 0x10));
        const int corner = size / 2;
        painter.drawEllipse(size - corner, size - corner, corner - 1, corner - 1);
        painter.end();
        marked.addPixmap(pixmap);
    }
    return marked;
}

}  // namespace

QIcon PartIcon(const std::string& key) {
    for (const IconSource& source : kIcons) {
        if (key != source.key) {
            continue;
        }
        for (const char* name : source.themeNames) {
            if (name != nullptr && QIcon::hasThemeIcon(name)) {
                return QIcon::fromTheme(name);
            }
        }
        const QIcon fallback = QApplication::style()->standardIcon(source.fallback);
        return key == "dmis" ? MarkedFileIcon(fallback) : fallback;
    }
    return {};
}

}  // namespace vantreel
