#include "sources/mtc_source.h"

#include "sources/mtc_parser.h"

void MtcSource::Run(const std::string& device, const WakePipe& wake, LiveTimecode& live) {
    StreamInput input;
    int error = 0;
    if (!input.Open(device, &error)) {
        OpenFailed(device, error);
        return;
    }
    Opened();
    MtcParser parser;
    uint8_t bytes[256];
    for (;;) {
        const int n = input.Read(bytes, int(sizeof bytes), wake);
        if (n <= 0)
            return;
        // At 3125 bytes a second a read brings a message or two, so they share its time.
        const int64_t now = SteadyNowNs();
        bool told = false;
        for (int i = 0; i < n; ++i)
            told = parser.Take(bytes[i], now) || told;
        if (told)
            live.Publish(parser.Anchor());
    }
}
