#include "runtime/wide_text.h"

namespace {

// The code page the program's literal texts are written in.
constexpr UINT kTextCodePage = 936;

}  // namespace

WideText UiText(const char* text936) {
    return UiText(text936 == nullptr ? ByteString() : ByteString(text936));
}

WideText UiText(const ByteString& bytes936) {
    const int length = static_cast<int>(bytes936.size());
    if (length == 0) {
        return {};
    }
    const int needed = MultiByteToWideChar(kTextCodePage, 0, bytes936.data(), length, nullptr, 0);
    WideText text(static_cast<size_t>(needed > 0 ? needed : 0), u'\0');
    if (needed > 0) {
        MultiByteToWideChar(kTextCodePage, 0, bytes936.data(), length, WideData(text), needed);
    }
    return text;
}
