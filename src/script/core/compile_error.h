// A compile error: a VBScript 10xx error number with the position where
// the compiler gave up.
#pragma once

#include "common/vb_error.h"

namespace quillet::script {

namespace cerr {
inline constexpr int Syntax = 1002;
inline constexpr int ExpectedColon = 1003;
inline constexpr int ExpectedLParen = 1005;
inline constexpr int ExpectedRParen = 1006;
inline constexpr int ExpectedRBracket = 1007;
inline constexpr int ExpectedIdentifier = 1010;
inline constexpr int ExpectedEquals = 1011;
inline constexpr int ExpectedIf = 1012;
inline constexpr int ExpectedTo = 1013;
inline constexpr int ExpectedEnd = 1014;
inline constexpr int ExpectedFunction = 1015;
inline constexpr int ExpectedSub = 1016;
inline constexpr int ExpectedThen = 1017;
inline constexpr int ExpectedWend = 1018;
inline constexpr int ExpectedLoop = 1019;
inline constexpr int ExpectedNext = 1020;
inline constexpr int ExpectedCase = 1021;
inline constexpr int ExpectedSelect = 1022;
inline constexpr int ExpectedExpression = 1023;
inline constexpr int ExpectedStatement = 1024;
inline constexpr int ExpectedEndOfStatement = 1025;
inline constexpr int ExpectedInteger = 1026;
inline constexpr int ExpectedWhileUntil = 1027;
inline constexpr int ExpectedWhileUntilEnd = 1028;
inline constexpr int ExpectedWith = 1029;
inline constexpr int IdentifierTooLong = 1030;
inline constexpr int InvalidNumber = 1031;
inline constexpr int InvalidCharacter = 1032;
inline constexpr int UnterminatedString = 1033;
inline constexpr int UnterminatedComment = 1034;
inline constexpr int InvalidUseOfMe = 1037;
inline constexpr int LoopWithoutDo = 1038;
inline constexpr int InvalidExit = 1039;
inline constexpr int InvalidForVariable = 1040;
inline constexpr int NameRedefined = 1041;
inline constexpr int MustBeFirstStatement = 1042;
inline constexpr int CannotAssignToNonByVal = 1043;
inline constexpr int CannotUseParens = 1044;
inline constexpr int ExpectedLiteralConstant = 1045;
inline constexpr int ExpectedIn = 1046;
inline constexpr int ExpectedClass = 1047;
inline constexpr int MustBeInsideClass = 1048;
inline constexpr int ExpectedLetSetGet = 1049;
inline constexpr int ExpectedProperty = 1050;
inline constexpr int InconsistentPropertyArgs = 1051;
inline constexpr int MultipleDefaults = 1052;
inline constexpr int ClassInitNoArgs = 1053;
inline constexpr int PropertyLetSetNeedsArg = 1054;
inline constexpr int UnexpectedNext = 1055;
inline constexpr int DefaultOnlyProcedure = 1056;
inline constexpr int DefaultOnlyPublic = 1057;
inline constexpr int DefaultOnlyPropertyGet = 1058;
} // namespace cerr

struct CompileError {
    VbError error;
    int line = 0;   // 1-based within the compiled text
    int column = 0; // 1-based
};

[[noreturn]] inline void throwCompileError(int number, int line, int column)
{
    throw CompileError{VbError(number), line, column};
}

} // namespace quillet::script
