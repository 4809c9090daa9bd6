#include "DmisGenerator.h"

#include <cstdio>

namespace vantreel::bench {

std::string GenerateDmisProgram(int64_t lines) {
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 40);
    text += "DMISMN/'GENERATED BENCHMARK PART',05.2\n";
    text += "UNITS/MM,ANGDEC\n";
    int64_t written = 2;
    char buffer[256];
    for (int64_t feature = 1; written < lines; ++feature) {
        const double x = 10.0 + static_cast<double>(feature % 97) * 2.5;
        const double y = 20.0 + static_cast<double>(feature % 89) * 1.25;
        std::snprintf(buffer, sizeof buffer, "$$ ---- bore %lld ----\n",
                      static_cast<long long>(feature));
        text += buffer;
        std::snprintf(buffer, sizeof buffer,
                      "F(BORE-%lld.A)=FEAT/CIRCLE,INNER,CART,%.3f,%.3f,-5.000,$\n"
                      "    0.000,0.000,1.000,12.005\n",
                      static_cast<long long>(feature), x, y);
        text += buffer;
        std::snprintf(buffer, sizeof buffer, "MEAS/CIRCLE,F(BORE-%lld.A),4\n",
                      static_cast<long long>(feature));
        text += buffer;
        for (int point = 0; point < 4; ++point) {
            const double dx = point == 0 ? 6.0025 : point == 2 ? -6.0025 : 0.0;
            const double dy = point == 1 ? 6.0025 : point == 3 ? -6.0025 : 0.0;
            std::snprintf(buffer, sizeof buffer, "  PTMEAS/CART,%.4f,%.4f,-5.0000,%.1f,%.1f,0.0\n",
                          x + dx, y + dy,
                          dx > 0   ? -1.0
                          : dx < 0 ? 1.0
                                   : 0.0,
                          dy > 0   ? -1.0
                          : dy < 0 ? 1.0
                                   : 0.0);
            text += buffer;
        }
        text += "ENDMES\n";
        std::snprintf(buffer, sizeof buffer,
                      "T(DIA-%lld)=TOL/DIAM,-0.010,0.020\n"
                      "OUTPUT/FA(BORE-%lld.A),TA(DIA-%lld)\n",
                      static_cast<long long>(feature), static_cast<long long>(feature),
                      static_cast<long long>(feature));
        text += buffer;
        written += 11;
    }
    text += "ENDFIL\n";
    return text;
}

}  // namespace vantreel::bench
