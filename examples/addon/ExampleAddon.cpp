// An example add-on settings editor. The part information dialog calls its
// EditPIF(full path, information file, language) when the operator presses
// Properties; it counts the edits in the information file:
//
//   [ExampleAddon]
//   Edits=3
//   Language=1031
//
// Registered by `vantreel demo-station` under the ProgID "Example.RunCounter".
// It changes only its own two keys and replaces the file atomically.

#include "vantreel/Plugin.h"

#include <strings.h>
#include <unistd.h>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kClassId = "{5A3C1E00-7A11-4E0D-9C4B-2F1D00000001}";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(Trim(a).c_str(), b.c_str()) == 0;
}

struct IniLines {
    std::vector<std::string> lines;
    std::string end = "\r\n";
    std::string bom;
};

bool Load(const std::string& path, IniLines& ini) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return true;  // a new file
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    if (all.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini.bom = all.substr(0, 3);
        all.erase(0, 3);
    }
    ini.end = all.find("\r\n") != std::string::npos || all.find('\n') == std::string::npos ? "\r\n"
                                                                                           : "\n";
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        ini.lines.push_back(line);
    }
    return true;
}

// The value of key in section; "" when missing. index gets the key's line (or
// where a new key goes, -1 when the section is missing); found whether the key
// is there.
std::string Find(const IniLines& ini, const std::string& section, const std::string& key,
                 long& index, bool& found) {
    found = false;
    bool inSection = false;
    index = -1;
    for (std::size_t i = 0; i < ini.lines.size(); ++i) {
        const std::string line = Trim(ini.lines[i]);
        if (!line.empty() && line.front() == '[') {
            if (inSection) {
                return {};
            }
            const auto close = line.find(']');
            inSection = close != std::string::npos && SameName(line.substr(1, close - 1), section);
            if (inSection) {
                index = static_cast<long>(i) + 1;
            }
            continue;
        }
        if (!inSection || line.empty() || line.front() == ';') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals != std::string::npos && SameName(line.substr(0, equals), key)) {
            index = static_cast<long>(i);
            found = true;
            return Trim(line.substr(equals + 1));
        }
        index = static_cast<long>(i) + 1;
    }
    return {};
}

void Set(IniLines& ini, const std::string& section, const std::string& key,
         const std::string& value) {
    long index = -1;
    bool exists = false;
    Find(ini, section, key, index, exists);
    if (index < 0) {
        ini.lines.push_back("[" + section + "]");
        ini.lines.push_back(key + "=" + value);
    } else if (exists) {
        ini.lines[static_cast<std::size_t>(index)] = key + "=" + value;
    } else {
        ini.lines.insert(ini.lines.begin() + index, key + "=" + value);
    }
}

bool Save(const std::string& path, const IniLines& ini) {
    const std::string temporary = path + ".example-addon";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << ini.bom;
        for (const std::string& line : ini.lines) {
            out << line << ini.end;
        }
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void SetError(char* error, std::size_t size, const std::string& text) {
    if (size > 0) {
        std::snprintf(error, size, "%s", text.c_str());
    }
}

int32_t Invoke(void*, const char* method, int32_t argc, VantreelValue* argv, VantreelValue* result,
               char* error, size_t errorSize) {
    *result = VantreelValue{VANTREEL_VALUE_EMPTY, nullptr, 0};
    if (strcasecmp(method, "EditPIF") != 0) {
        SetError(error, errorSize, std::string("Object doesn't support this method: ") + method);
        return 438;
    }
    if (argc != 3 || argv[1].type != VANTREEL_VALUE_STRING || argv[2].type != VANTREEL_VALUE_LONG) {
        SetError(error, errorSize, "EditPIF takes a part path, an information file and a language");
        return 5;
    }
    const std::string file = argv[1].text;
    IniLines ini;
    Load(file, ini);
    long index = -1;
    bool found = false;
    const std::string edits = Find(ini, "ExampleAddon", "Edits", index, found);
    long count = 0;
    for (const char c : edits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            count = 0;
            break;
        }
        count = count * 10 + (c - '0');
    }
    Set(ini, "ExampleAddon", "Edits", std::to_string(count + 1));
    Set(ini, "ExampleAddon", "Language", std::to_string(argv[2].number));
    if (!Save(file, ini)) {
        SetError(error, errorSize, "The information file '" + file + "' cannot be written");
        return 75;
    }
    return 0;
}

void* Create() {
    static int instance = 0;  // the editor keeps no state of its own
    return &instance;
}

void Destroy(void*) {}

const VantreelClass kClass{VANTREEL_PLUGIN_ABI, Create, Destroy, Invoke};

}  // namespace

extern "C" __attribute__((visibility("default"))) const VantreelClass* VantreelGetClass(
    const char* classId) {
    return strcasecmp(classId, kClassId) == 0 ? &kClass : nullptr;
}
