#include "runtime/wide_text.h"

#include <cstring>
#include <map>
#include <string_view>

namespace {

// The code page the program's literal texts are written in.
constexpr UINT kTextCodePage = 936;

WideText Convert(const char* text936, int length) {
    if (length == 0) {
        return {};
    }
    const int needed = MultiByteToWideChar(kTextCodePage, 0, text936, length, nullptr, 0);
    WideText text(static_cast<size_t>(needed > 0 ? needed : 0), u'\0');
    if (needed > 0 &&
        MultiByteToWideChar(kTextCodePage, 0, text936, length, WideData(text), needed) != needed) {
        text.clear();
    }
    return text;
}

// Keyed by the bytes, not the address, so that equal texts share one entry and a text in a
// reused buffer can never find another text's conversion. A map keeps every entry in place, so
// the references handed out stay valid.
std::map<std::string, WideText, std::less<>>& ConvertedTexts() {
    static std::map<std::string, WideText, std::less<>> texts;
    return texts;
}

}  // namespace

const WideText& UiText(const char* text936) {
    const std::string_view key = text936 == nullptr ? std::string_view() : text936;
    auto& texts = ConvertedTexts();
    auto found = texts.find(key);
    if (found == texts.end()) {
        found = texts.emplace(std::string(key), Convert(key.data(), static_cast<int>(key.size())))
                    .first;
    }
    return found->second;
}

WideText UiText(const ByteString& bytes936) {
    return Convert(bytes936.data(), static_cast<int>(bytes936.size()));
}

bool UiTextInto(const char* text936, WCHAR* buffer, int capacity) {
    if (capacity <= 0) {
        return false;
    }
    buffer[0] = 0;
    if (text936 == nullptr || text936[0] == '\0') {
        return true;
    }
    // -1: the terminator is converted too.
    if (MultiByteToWideChar(kTextCodePage, 0, text936, -1, buffer, capacity) == 0) {
        buffer[0] = 0;
        return false;
    }
    return true;
}
