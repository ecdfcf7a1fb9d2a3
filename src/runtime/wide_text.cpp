#include "runtime/wide_text.h"

#include <cstring>

namespace {

// The code page the program's literal texts are written in.
constexpr UINT kTextCodePage = 936;

}  // namespace

WideText UiText(const char* text936) {
    const int length = text936 == nullptr ? 0 : static_cast<int>(std::strlen(text936));
    if (length == 0) {
        return {};
    }
    const int needed = MultiByteToWideChar(kTextCodePage, 0, text936, length, nullptr, 0);
    WideText text(static_cast<size_t>(needed > 0 ? needed : 0), u'\0');
    if (needed > 0) {
        MultiByteToWideChar(kTextCodePage, 0, text936, length, WideData(text), needed);
    }
    return text;
}
