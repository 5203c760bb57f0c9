#include "sources/source_table.h"

#include "sources/ltc_source.h"
#include "sources/mtc_source.h"
#include "sources/serial_source.h"
#include "sources/sony9pin.h"
#include "sources/victor.h"

#include <QtGlobal>

namespace {

std::unique_ptr<TimecodeSource> MakeSony(const SourceContext& context) {
    return std::make_unique<SerialSource>(context.line, SONY_9PIN, context.deckRate);
}

std::unique_ptr<TimecodeSource> MakeVictor(const SourceContext& context) {
    return std::make_unique<SerialSource>(context.line, VICTOR_SA_K37, context.deckRate);
}

std::unique_ptr<TimecodeSource> MakeLtc(const SourceContext& context) {
    auto source = std::make_unique<LtcSource>();
    source->SetChannel(context.setting ? context.setting("Channel", 1) : 1);
    return source;
}

std::unique_ptr<TimecodeSource> MakeMtc(const SourceContext&) {
    return std::make_unique<MtcSource>();
}

} // namespace

const std::vector<SourceRow>& SourceRows() {
    // clang-format off
    static const std::vector<SourceRow> rows = {
        // VtrType     command  menu text                  sep    caption  section  key       no device  made by
        {VTR_VICTOR,   32793,   "Victor SA-K37 Control",   true,  "VITC",  nullptr, nullptr,  "",        &MakeVictor},
        {VTR_SONY,     32794,   "Sony 9 pin Control",      false, "VITC",  nullptr, nullptr,  "",        &MakeSony},
        {VTR_LTC,      32812,   QT_TRANSLATE_NOOP("CTarnwickDlg", "LTC (オーディオ入力)"),    true,  "LTC",   "LTC",   "Device", "default", &MakeLtc},
        {VTR_MTC,      32813,   QT_TRANSLATE_NOOP("CTarnwickDlg", "MTC (MIDI入力)"),          false, "MTC",   "MTC",   "Device", "",        &MakeMtc},
        {VTR_VIDEO,    32815,   QT_TRANSLATE_NOOP("CTarnwickDlg", "ビデオファイル..."),       false, "FILE",  "Video", "File",   "",        nullptr},
    };
    // clang-format on
    return rows;
}

const SourceRow& SourceRowOf(int vtrType) {
    for (const SourceRow& row : SourceRows()) {
        if (row.vtrType == vtrType)
            return row;
    }
    return SourceRowOf(VTR_SONY);
}
