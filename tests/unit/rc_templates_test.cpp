// The dialog templates exist twice: in rebootdel.rc, which windres compiles into the Windows
// program, and in the stand-in's table, which the native tests run against. These tests read the
// .rc and compare both templates with the table field by field, so the two cannot drift apart.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "standin/harness.h"

namespace {

struct RcControl {
    long id = 0;
    std::string className;  // lower case: class names are case-insensitive
    std::string text;       // code page 936 bytes
    long x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
};

struct RcDialog {
    long id = 0;
    long x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    long helpId = 0;
    std::string caption;  // code page 936 bytes
    long pointSize = 0;
    std::string fontFace;
    long fontWeight = 0;
    long fontItalic = 0;
    long fontCharset = 0;
    std::vector<RcControl> controls;
};

// The Win32 values of the style names a template may use.
const std::map<std::string, uint32_t>& StyleNames() {
    static const std::map<std::string, uint32_t> names = {
        {"WS_POPUP", 0x80000000},
        {"WS_CHILD", 0x40000000},
        {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000},
        {"WS_CAPTION", 0x00C00000},
        {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000},
        {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000},
        {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000},
        {"DS_MODALFRAME", 0x80},
        {"DS_SETFONT", 0x40},
        {"DS_CENTER", 0x800},
        {"DS_3DLOOK", 0x4},
        {"DS_FIXEDSYS", 0x8},
        {"DS_SHELLFONT", 0x48},
        {"BS_PUSHBUTTON", 0x0},
        {"BS_DEFPUSHBUTTON", 0x1},
        {"SS_LEFT", 0x0},
        {"SS_NOPREFIX", 0x80},
        {"ES_LEFT", 0x0},
        {"ES_MULTILINE", 0x4},
        {"ES_AUTOVSCROLL", 0x40},
        {"ES_AUTOHSCROLL", 0x80},
        {"ES_WANTRETURN", 0x1000},
        {"LVS_REPORT", 0x1},
        {"LVS_SINGLESEL", 0x4},
        {"LVS_SHOWSELALWAYS", 0x8},
        {"LVS_OWNERDATA", 0x1000},
        {"WS_EX_CLIENTEDGE", 0x200},
        {"WS_EX_STATICEDGE", 0x20000},
        {"WS_EX_ACCEPTFILES", 0x10},
        // The dialog manager's own control id.
        {"IDCANCEL", 2},
    };
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string ToLower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The .rc is UTF-8; the program's texts are code page 936.
std::string Utf8ToCp936(const std::string& utf8) {
    iconv_t converter = iconv_open("CP936", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv cannot convert UTF-8 to CP936";
        return utf8;
    }
    std::string in = utf8;
    std::string out(in.size() * 2 + 1, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        ADD_FAILURE() << "not convertible to CP936: " << utf8;
    }
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

// Token stream of an .rc file: preprocessor lines and comments dropped.
struct Token {
    enum Kind { kName, kNumber, kString, kPunct, kEnd } kind = kEnd;
    std::string text;
    long number = 0;
};

std::vector<Token> Tokenize(const std::string& source) {
    std::vector<Token> tokens;
    size_t i = 0;
    bool lineStart = true;
    while (i < source.size()) {
        const char c = source[i];
        if (c == '\n') {
            lineStart = true;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (lineStart && c == '#') {
            while (i < source.size() && source[i] != '\n') {
                ++i;
            }
        } else if (source.compare(i, 2, "//") == 0) {
            while (i < source.size() && source[i] != '\n') {
                ++i;
            }
        } else if (source.compare(i, 2, "/*") == 0) {
            const size_t end = source.find("*/", i + 2);
            i = end == std::string::npos ? source.size() : end + 2;
        } else {
            lineStart = false;
            Token token;
            if (c == '"') {
                token.kind = Token::kString;
                ++i;
                while (i < source.size()) {
                    if (source[i] == '"' && i + 1 < source.size() && source[i + 1] == '"') {
                        token.text += '"';  // "" is a quote inside a string
                        i += 2;
                    } else if (source[i] == '"') {
                        ++i;
                        break;
                    } else {
                        token.text += source[i++];
                    }
                }
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                token.kind = Token::kNumber;
                size_t used = 0;
                token.number = std::stol(source.substr(i, 20), &used, 0);
                i += used;
                while (i < source.size() && (source[i] == 'L' || source[i] == 'l')) {
                    ++i;
                }
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                token.kind = Token::kName;
                while (i < source.size() &&
                       (std::isalnum(static_cast<unsigned char>(source[i])) || source[i] == '_')) {
                    token.text += source[i++];
                }
            } else {
                token.kind = Token::kPunct;
                token.text = std::string(1, c);
                ++i;
            }
            tokens.push_back(token);
        }
    }
    tokens.push_back(Token{});
    return tokens;
}

// Reads the DIALOGEX templates of an .rc text. Names are looked up in the ids and then in the
// style names; anything the reader does not understand is reported as a test failure.
struct RcReader {
    std::vector<Token> tokens;
    std::map<std::string, long> ids;
    size_t at = 0;

    const Token& Peek() const { return tokens[at]; }
    const Token& Next() { return tokens[at < tokens.size() - 1 ? at++ : at]; }
    bool IsPunct(const char* text) const {
        return Peek().kind == Token::kPunct && Peek().text == text;
    }
    bool IsName(const char* text) const {
        return Peek().kind == Token::kName && Peek().text == text;
    }

    void Expect(const char* punct) {
        if (!IsPunct(punct)) {
            ADD_FAILURE() << "expected '" << punct << "' before '" << Peek().text << "'";
            return;
        }
        Next();
    }

    long Primary() {
        if (IsPunct("(")) {
            Next();
            const long value = Expression();
            Expect(")");
            return value;
        }
        if (IsPunct("-")) {
            Next();
            return -Primary();
        }
        const Token& token = Next();
        if (token.kind == Token::kNumber) {
            return token.number;
        }
        if (token.kind == Token::kName) {
            if (auto id = ids.find(token.text); id != ids.end()) {
                return id->second;
            }
            if (auto style = StyleNames().find(token.text); style != StyleNames().end()) {
                return static_cast<long>(style->second);
            }
        }
        ADD_FAILURE() << "unknown value '" << token.text << "' in the .rc";
        return 0;
    }

    long Expression() {
        long value = Primary();
        while (IsPunct("|")) {
            Next();
            value |= Primary();
        }
        return value;
    }

    uint32_t Style() { return static_cast<uint32_t>(Expression()); }

    std::string String() {
        if (Peek().kind != Token::kString) {
            ADD_FAILURE() << "expected a string before '" << Peek().text << "'";
            return "";
        }
        return Next().text;
    }

    // CONTROL "text", id, "class", style, x, y, cx, cy [, exstyle [, helpid]]
    RcControl Control() {
        RcControl control;
        control.text = Utf8ToCp936(String());
        Expect(",");
        control.id = Expression();
        Expect(",");
        control.className = ToLower(String());
        Expect(",");
        control.style = Style();
        Expect(",");
        control.x = Expression();
        Expect(",");
        control.y = Expression();
        Expect(",");
        control.cx = Expression();
        Expect(",");
        control.cy = Expression();
        if (IsPunct(",")) {
            Next();
            control.exStyle = Style();
        }
        if (IsPunct(",")) {
            Next();
            Expression();  // help id
        }
        return control;
    }

    // name DIALOGEX x, y, cx, cy [, helpid], the statements, then BEGIN controls END.
    RcDialog Dialog(long id) {
        RcDialog dialog;
        dialog.id = id;
        dialog.x = Expression();
        Expect(",");
        dialog.y = Expression();
        Expect(",");
        dialog.cx = Expression();
        Expect(",");
        dialog.cy = Expression();
        if (IsPunct(",")) {
            Next();
            dialog.helpId = Expression();
        }
        while (Peek().kind != Token::kEnd && !IsName("BEGIN")) {
            const std::string statement = Next().text;
            if (statement == "STYLE") {
                dialog.style = Style();
            } else if (statement == "EXSTYLE") {
                dialog.exStyle = Style();
            } else if (statement == "CAPTION") {
                dialog.caption = Utf8ToCp936(String());
            } else if (statement == "FONT") {
                dialog.pointSize = Expression();
                Expect(",");
                dialog.fontFace = String();
                for (long* field : {&dialog.fontWeight, &dialog.fontItalic, &dialog.fontCharset}) {
                    if (!IsPunct(",")) {
                        break;
                    }
                    Next();
                    *field = Expression();
                }
            } else {
                ADD_FAILURE() << "unexpected dialog statement " << statement;
            }
        }
        Next();  // BEGIN
        while (Peek().kind != Token::kEnd && !IsName("END")) {
            if (Next().text != "CONTROL") {
                ADD_FAILURE() << "only CONTROL items are expected in dialog " << id;
                break;
            }
            dialog.controls.push_back(Control());
        }
        Next();  // END
        return dialog;
    }

    std::vector<RcDialog> Dialogs() {
        std::vector<RcDialog> dialogs;
        for (at = 0; at + 1 < tokens.size(); ++at) {
            if (tokens[at + 1].kind == Token::kName && tokens[at + 1].text == "DIALOGEX") {
                const long id = Primary();
                Next();  // DIALOGEX
                dialogs.push_back(Dialog(id));
                --at;
            }
        }
        return dialogs;
    }
};

std::map<std::string, long> ReadIds(const std::string& header) {
    std::map<std::string, long> ids;
    std::istringstream lines(header);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        if (words >> directive >> name >> value && directive == "#define") {
            ids[name] = std::stol(value, nullptr, 0);
        }
    }
    return ids;
}

std::vector<RcDialog> ReadRcDialogs(const std::string& rcText) {
    RcReader reader;
    reader.tokens = Tokenize(rcText);
    reader.ids = ReadIds(ReadFile(SOURCE_DIR "/src/resources/resource.h"));
    return reader.Dialogs();
}

// The stand-in's table in the same form.
std::vector<RcDialog> StandinDialogs() {
    std::vector<RcDialog> dialogs;
    for (const standin::DialogTemplate& source : standin::DialogTemplates()) {
        RcDialog dialog;
        dialog.id = source.id;
        dialog.x = source.x;
        dialog.y = source.y;
        dialog.cx = source.cx;
        dialog.cy = source.cy;
        dialog.style = source.style;
        dialog.exStyle = source.exStyle;
        dialog.helpId = static_cast<long>(source.helpId);
        dialog.caption = source.caption;
        dialog.pointSize = source.fontPointSize;
        dialog.fontFace = source.fontName;
        dialog.fontWeight = source.fontWeight;
        dialog.fontItalic = source.fontItalic ? 1 : 0;
        dialog.fontCharset = source.fontCharset;
        for (const standin::ControlTemplate& item : source.controls) {
            RcControl control;
            control.id = item.id;
            control.className = ToLower(item.className);
            control.text = item.text;
            control.x = item.x;
            control.y = item.y;
            control.cx = item.cx;
            control.cy = item.cy;
            control.style = item.style;
            control.exStyle = item.exStyle;
            dialog.controls.push_back(control);
        }
        dialogs.push_back(dialog);
    }
    return dialogs;
}

std::string Hex(uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << value;
    return text.str();
}

// A text with its non-ASCII bytes as \xHH, for failure messages.
std::string Escaped(const std::string& text) {
    std::ostringstream escaped;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            escaped << c;
        } else {
            escaped << "\\x" << std::hex << static_cast<int>(c) << std::dec;
        }
    }
    return "\"" + escaped.str() + "\"";
}

// Every field where the two sets of templates differ, as readable lines; empty when they agree.
std::vector<std::string> Differences(const std::vector<RcDialog>& rc,
                                     const std::vector<RcDialog>& table) {
    std::vector<std::string> found;
    auto differ = [&](const std::string& where, const auto& rcValue, const auto& tableValue) {
        if (rcValue != tableValue) {
            std::ostringstream line;
            line << where << ": .rc " << rcValue << ", stand-in " << tableValue;
            found.push_back(line.str());
        }
    };
    if (rc.size() != table.size()) {
        found.push_back(".rc has " + std::to_string(rc.size()) + " dialogs, stand-in " +
                        std::to_string(table.size()));
    }
    for (const RcDialog& dialog : rc) {
        const RcDialog* other = nullptr;
        for (const RcDialog& candidate : table) {
            if (candidate.id == dialog.id) {
                other = &candidate;
            }
        }
        const std::string where = "dialog " + std::to_string(dialog.id);
        if (other == nullptr) {
            found.push_back(where + " is missing from the stand-in");
            continue;
        }
        differ(where + " style", Hex(dialog.style), Hex(other->style));
        differ(where + " extended style", Hex(dialog.exStyle), Hex(other->exStyle));
        differ(where + " x", dialog.x, other->x);
        differ(where + " y", dialog.y, other->y);
        differ(where + " width", dialog.cx, other->cx);
        differ(where + " height", dialog.cy, other->cy);
        differ(where + " help id", dialog.helpId, other->helpId);
        differ(where + " caption", Escaped(dialog.caption), Escaped(other->caption));
        differ(where + " font size", dialog.pointSize, other->pointSize);
        differ(where + " font", dialog.fontFace, other->fontFace);
        differ(where + " font weight", dialog.fontWeight, other->fontWeight);
        differ(where + " font italic", dialog.fontItalic, other->fontItalic);
        differ(where + " font character set", dialog.fontCharset, other->fontCharset);
        differ(where + " control count", dialog.controls.size(), other->controls.size());
        for (size_t i = 0; i < dialog.controls.size() && i < other->controls.size(); ++i) {
            const RcControl& a = dialog.controls[i];
            const RcControl& b = other->controls[i];
            const std::string at = where + " control " + std::to_string(i + 1);
            differ(at + " id", a.id, b.id);
            differ(at + " class", a.className, b.className);
            differ(at + " text", Escaped(a.text), Escaped(b.text));
            differ(at + " x", a.x, b.x);
            differ(at + " y", a.y, b.y);
            differ(at + " width", a.cx, b.cx);
            differ(at + " height", a.cy, b.cy);
            differ(at + " style", Hex(a.style), Hex(b.style));
            differ(at + " extended style", Hex(a.exStyle), Hex(b.exStyle));
        }
    }
    return found;
}

std::string RcText() {
    return ReadFile(SOURCE_DIR "/src/resources/rebootdel.rc");
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(RcTemplates, EveryDialogIsInTheRcFile) {
    const std::vector<RcDialog> dialogs = ReadRcDialogs(RcText());
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].id, 1000);
    EXPECT_EQ(dialogs[0].controls.size(), 6u);
    EXPECT_EQ(dialogs[1].id, 1100);
    EXPECT_EQ(dialogs[1].controls.size(), 3u);
    EXPECT_EQ(dialogs[2].id, 1200);
    EXPECT_EQ(dialogs[2].controls.size(), 4u);
    EXPECT_EQ(dialogs[3].id, 1300);
    EXPECT_EQ(dialogs[3].controls.size(), 4u);
}

// The main window, the to-do list and the last restart's results can be resized and maximized,
// for a long list; the batch dialog keeps its size.
TEST(RcTemplates, ListWindowsAreResizableAndTheBatchDialogIsNot) {
    const uint32_t resizable = StyleNames().at("WS_THICKFRAME") | StyleNames().at("WS_MAXIMIZEBOX");
    const std::vector<RcDialog> dialogs = ReadRcDialogs(RcText());
    ASSERT_EQ(dialogs.size(), 4u);
    for (const RcDialog& dialog : dialogs) {
        const bool listWindow = dialog.id != 1100;
        EXPECT_EQ(dialog.style & resizable, listWindow ? resizable : 0u)
            << "dialog " << dialog.id << " style " << Hex(dialog.style);
    }
    EXPECT_NE(dialogs[0].style & StyleNames().at("WS_MINIMIZEBOX"), 0u)
        << "the main window keeps its minimize box";
}

TEST(RcTemplates, RcFileAndStandinTableAgree) {
    for (const std::string& difference : Differences(ReadRcDialogs(RcText()), StandinDialogs())) {
        ADD_FAILURE() << difference;
    }
}

// The comparison must notice a change in any field of a dialog or of a control.
TEST(RcTemplates, ComparisonNoticesEachKindOfChange) {
    const std::string rc = RcText();
    const std::vector<RcDialog> table = StandinDialogs();
    const std::vector<std::pair<std::string, std::string>> edits = {
        {"441, 76", "441, 77"},
        {"| WS_MINIMIZEBOX |", "|"},
        {"\"MS Sans Serif\"", "\"Tahoma\""},
        {"\"MS Sans Serif\", 0", "\"MS Sans Serif\", 700"},
        {"\"SysListView32\"", "\"SysListView\""},
        {"\"粘贴\", IDC_BATCH_PASTE", "\"粘帖\", IDC_BATCH_PASTE"},
        {"389, 18, 48, 12", "389, 18, 48, 13"},
        {"LVS_REPORT | LVS_SINGLESEL", "LVS_REPORT"},
        {"3, 3, 280, 120, WS_EX_CLIENTEDGE", "3, 3, 280, 120"},
        {"IDC_BATCH_OK, \"Button\"", "IDC_BATCH_PASTE, \"Button\""},
    };
    for (const auto& [from, to] : edits) {
        EXPECT_FALSE(Differences(ReadRcDialogs(Replaced(rc, from, to)), table).empty())
            << "changing " << from << " to " << to << " went unnoticed";
    }
}

}  // namespace
