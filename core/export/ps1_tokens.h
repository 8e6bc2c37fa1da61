#pragma once
// The tokens of one line of PowerShell, as far as the scripts writePowerShell writes need: words
// (commands, parameters, keywords, $variables), quoted strings, numbers, [type] names and
// punctuation. Anything else PowerShell knows is refused, so a reader of these tokens never takes
// a line to mean less than PowerShell would make of it.

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace hivora {

struct Ps1Token {
    enum class Kind {
        Word,    // "Write-Host", "-LiteralPath", "if", "$ErrorActionPreference"
        String,  // a quoted string; `text` is its value
        Number,  // "12", "-1", "0x0a" as written
        Type,    // "[char]" and the like; `text` is the name inside, in lower case: "byte[]"
        Punct,   // one of ( ) { } | , @ + =
    } kind = Kind::Word;
    std::string text;
};

// The tokens of `line` (UTF-8, without its line end), up to a "#" that starts a comment.
// Strings follow PowerShell's quoting: single-quoted ones are literal, a quote written twice
// standing for one; double-quoted ones take a doubled quote and the backtick escapes, and must
// not hold a "$" that is not escaped (it would be expanded). The typographic quotes U+2018 to
// U+201B count as single quotes and U+201C to U+201E as double quotes, as in PowerShell.
// Failure: why the line is outside what this reads (a string without its closing quote, a ";",
// a backtick outside a string, a character that starts no token, ...).
Result<std::vector<Ps1Token>> powerShellTokens(std::string_view line);

// Whether two words are the same to PowerShell: ASCII letters match without regard to case.
bool samePowerShellWord(std::string_view a, std::string_view b);

// Walks the tokens of one statement. Each step takes the token it expects and says true, or
// keeps the first mismatch as the reason (why()) and says false, so steps chain with &&. The
// tokens must outlive the cursor.
class Ps1Cursor {
  public:
    explicit Ps1Cursor(const std::vector<Ps1Token>& tokens) : m_tokens(tokens) {}

    // Keeps `reason` unless a reason was kept already; says false.
    bool fail(std::string reason);
    const std::string& why() const { return m_why; }

    // Whether the next token is of `kind` and, unless `text` is empty, says `text` (words in
    // any case). Takes nothing.
    bool at(Ps1Token::Kind kind, std::string_view text = {}) const;
    // Takes the word, punctuation or [type] `expected`.
    bool word(std::string_view expected) { return take(Ps1Token::Kind::Word, expected); }
    bool punct(std::string_view expected) { return take(Ps1Token::Kind::Punct, expected); }
    bool type(std::string_view expected) { return take(Ps1Token::Kind::Type, expected); }
    // Takes any word or number, as written, into `out`.
    bool anyWord(std::string& out) { return takeAny(Ps1Token::Kind::Word, out); }
    bool number(std::string& out) { return takeAny(Ps1Token::Kind::Number, out); }
    // Takes a text: a quoted string, or a parenthesised sum of quoted strings and [char]N that
    // starts with a string (PowerShell adds a [char] on the left as a number). Failure also
    // for a text holding NUL, which no registry text can.
    bool text(std::string& out);
    // True when every token was taken.
    bool end();

  private:
    bool take(Ps1Token::Kind kind, std::string_view expected);
    bool takeAny(Ps1Token::Kind kind, std::string& out);
    std::string shown() const;  // the next token, for a reason

    const std::vector<Ps1Token>& m_tokens;
    std::size_t m_next = 0;
    std::string m_why;
};

// The text a PowerShell string expression stands for (a text as Ps1Cursor::text takes it;
// powerShellString writes them). Failure: why `expression` is not one.
Result<std::string> powerShellStringValue(std::string_view expression);

}  // namespace hivora
