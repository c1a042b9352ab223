// Splits VBScript source into tokens.  Keywords are recognised case-
// insensitively and carry their keyword id, except as a member name after
// a dot (`obj.end`); line continuations ( _ at the end of a line) are
// joined; ':' and line ends both become EndOfStatement.
#pragma once

#include "common/text.h"
#include "script/value.h"

#include <vector>

namespace quillet::script {

enum class Tok : uint8_t {
    Identifier, // also [bracketed names]; `keyword` says whether it is a keyword
    Number,     // `value` holds Integer, Long or Double
    String,
    Date,
    Operator,   // `text` holds the operator: "=<" and "=>" read as "<=" and ">=", "><" as "<>"
    Dot,        // `.`; `spaced` tells a With-dot (`.x` after a blank) from `a.x`
    Comma,
    LParen,
    RParen,
    EndOfStatement, // a run of ':' and line ends; `text` is the first of them
    EndOfFile,
};

enum class Kw : uint8_t {
    None, And, ByRef, ByVal, Call, Case, Class, Const, Default, Dim, Do, Each, Else, ElseIf, Empty, End,
    Eqv, Erase, Error, Exit, Explicit, False, For, Function, Get, GoTo, If, Imp, In, Is, Let, Loop, Mod,
    New, Next, Not, Nothing, Null, On, Option, Or, Preserve, Private, Property, Public, ReDim, Resume,
    Select, Set, Step, Sub, Then, To, True, Until, Wend, While, With, Xor, Me,
};

struct Token {
    Tok kind = Tok::EndOfFile;
    Kw keyword = Kw::None;   // for identifiers that are keywords
    bool bracketed = false;  // [name]: never a keyword
    bool spaced = false;     // blank (or line start) just before this token
    bool lineEnd = false;    // EndOfStatement: the run includes a line end
    int line = 1;            // 1-based
    int column = 1;          // 1-based
    Text text;               // identifier name, string contents, operator
    Value value;             // number or date literal
};

// Throws CompileError (compile_error.h) with a 1xxx error number.
std::vector<Token> tokenize(TextView source);

} // namespace quillet::script
