// libFuzzer target: any bytes as the change history Historie.txt, read for
// the history window. Nothing may crash; the text is never longer than the
// bytes read and holds no CR (lines are joined by LF).
#include "fuzzsupport.h"

#include "about/historyfile.h"

using namespace vartemo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString folder = fuzz::Scratch().path();
    const QString path = folder + QStringLiteral("/Historie.txt");
    fuzz::WriteFile(path, fuzz::Bytes(data, size));
    const QString text = ReadHistory(path);
    FUZZ_CHECK(text.size() <= qsizetype(size));
    FUZZ_CHECK(!text.contains(u'\r'));
    // A history already there is never replaced.
    FUZZ_CHECK(EnsureHistoryFile(folder));
    FUZZ_CHECK(fuzz::ReadFile(path) == fuzz::Bytes(data, size));
    return 0;
}
