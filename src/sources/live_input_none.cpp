#include "sources/live_input.h"

#include <cerrno>

// No timecode inputs on this system yet: nothing opens, so the display shows no time.

WakePipe::WakePipe() {}
WakePipe::~WakePipe() {}
void WakePipe::Raise() {}

StreamInput::~StreamInput() {}
bool StreamInput::Open(const std::string&, int* error) {
    if (error != nullptr)
        *error = ENODEV;
    return false;
}
int StreamInput::Read(uint8_t*, int, const WakePipe&, int64_t*) {
    return -1;
}
int StreamInput::Pace(int, const WakePipe&, int64_t*) {
    return -1;
}

AlsaCapture::~AlsaCapture() {}
bool AlsaCapture::Open(const std::string&, int, int* error) {
    if (error != nullptr)
        *error = ENODEV;
    return false;
}
int AlsaCapture::Read(int16_t*, int, int64_t*, const WakePipe&) {
    return -1;
}
int AlsaCapture::Take(int16_t*, int, int64_t*) {
    return -1;
}
