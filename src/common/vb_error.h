// One error type for the whole program: a VBScript-style error number with
// its English description, so that a failure anywhere (the character file
// reader, the print object, the script engine) reaches a sheet script or the
// user with the number and text a user of the original program recognises.
#pragma once

#include "common/text.h"

#include <exception>
#include <string>

namespace quillet {

namespace vberr {
inline constexpr int InvalidCall = 5;          // Invalid procedure call or argument
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int ArrayLocked = 10;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int OutOfStack = 28;
inline constexpr int SubNotDefined = 35;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int InputPastEnd = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int ForNotInitialized = 92;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int ObjectRequired = 424;
inline constexpr int CantCreateObject = 429;
inline constexpr int NoSuchMember = 438;
inline constexpr int ArgumentNotOptional = 449;
inline constexpr int WrongArgCount = 450;
inline constexpr int NotACollection = 451;
inline constexpr int KeyAlreadyExists = 457;
inline constexpr int UnsupportedType = 458; // Variable uses an Automation type not supported in VBScript
inline constexpr int VariableUndefined = 500;
inline constexpr int IllegalAssignment = 501;
inline constexpr int NotSafeForScripting = 502;
inline constexpr int UnqualifiedReference = 505; // `.x` outside a With
inline constexpr int ClassNotDefined = 506;
inline constexpr int RegExpSyntax = 5017;
inline constexpr int ElementNotFound = 32811;
} // namespace vberr

// The English description VBScript gives an error number (run-time and
// compile errors alike); "Unknown runtime error" for numbers it does not know.
Text vbErrorDescription(int number);
bool vbErrorKnown(int number);

class VbError : public std::exception {
public:
    explicit VbError(int number);
    VbError(int number, Text description);

    int number() const noexcept { return number_; }
    const Text& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    Text description_;
    std::string what_;
};

} // namespace quillet
