// A parsed script: a tree whose names are resolved to slots (locals of a
// procedure, globals, fields of a class instance, builtins, members of host
// objects) before it first runs, so that executing it never looks a name up
// by text.  The compiler turns each procedure's tree into Code (code.h),
// copying out what it needs; the tree goes then.
#pragma once

#include "script/builtins.h"
#include "script/core/code.h"
#include "script/core/inline_number.h"
#include "script/host_object.h"
#include "script/value.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace quillet::script {

struct Procedure;
struct ClassDef;
struct CodeUnit;
class HostObject;

// ---- expressions ------------------------------------------------------

enum class ExprKind : uint8_t { Literal, Name, Call, Member, Me, New, Unary, Binary, Paren };

enum class Op : uint8_t {
    // binary, lowest precedence first
    Imp, Eqv, Xor, Or, And,
    Eq, Ne, Lt, Gt, Le, Ge, Is,
    Concat, Add, Sub, Mod, IntDiv, Mul, Div, Pow,
    // unary
    Not, Neg, Plus,
};

struct Expr {
    explicit Expr(ExprKind k) : kind(k) {}
    virtual ~Expr() = default;
    ExprKind kind;
    int line = 0;
    int column = 0;
};
using ExprPtr = std::unique_ptr<Expr>;

struct LiteralExpr : Expr {
    LiteralExpr() : Expr(ExprKind::Literal) {}
    Value value;
};

struct NameExpr : Expr {
    NameExpr() : Expr(ExprKind::Name) {}
    Text name;
    NameKind resolved = NameKind::Unresolved;
    int slot = -1;                      // Local, OuterLocal, OuterExecuted, Global, Field, ClassMember, HostMember (object)
    int member = -1;                    // HostMember: member number
    const BuiltinEntry* builtin = nullptr;
    Value constant;                     // Constant
    bool usedAsCallee = false;          // appears as `name args` / `name(args)`
    bool assigned = false;              // appears as an assignment target
    bool declares = false;              // ReDim's target: declares it when no variable of that name is seen
};

struct CallExpr : Expr {
    CallExpr() : Expr(ExprKind::Call) {}
    ExprPtr target;               // Name, Member or any expression
    std::vector<ExprPtr> args;    // nullptr: omitted argument
};

struct MemberExpr : Expr {
    MemberExpr() : Expr(ExprKind::Member) {}
    ExprPtr object;               // nullptr: the innermost With object
    int withSlot = -1;            // local slot of that With object
    Text name;
};

struct MeExpr : Expr {
    MeExpr() : Expr(ExprKind::Me) {}
};

struct NewExpr : Expr {
    NewExpr() : Expr(ExprKind::New) {}
    Text className;
    ClassDef* cls = nullptr;          // resolved at run time on first use
};

struct UnaryExpr : Expr {
    UnaryExpr() : Expr(ExprKind::Unary) {}
    Op op = Op::Neg;
    ExprPtr operand;
};

struct BinaryExpr : Expr {
    BinaryExpr() : Expr(ExprKind::Binary) {}
    Op op = Op::Add;
    ExprPtr left;
    ExprPtr right;
    // A number literal compared with a string converts the string to a
    // number (and a string literal converts a number to text), unlike two
    // variables where any number is less than any string.
    bool leftLiteral = false;
    bool rightLiteral = false;
};

// `(expr)`: kept so that `f (x)` passes a copy of x.
struct ParenExpr : Expr {
    ParenExpr() : Expr(ExprKind::Paren) {}
    ExprPtr inner;
};

// ---- statements -------------------------------------------------------

enum class StmtKind : uint8_t {
    Call, Assign, Append, Dim, ReDim, Erase, If, Select, For, ForEach, Do, Exit, With, OnError,
};

struct Stmt {
    explicit Stmt(StmtKind k) : kind(k) {}
    virtual ~Stmt() = default;
    StmtKind kind;
    int line = 0;
    int column = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct CallStmt : Stmt {
    CallStmt() : Stmt(StmtKind::Call) {}
    ExprPtr call; // CallExpr, NameExpr or MemberExpr
};

struct AssignStmt : Stmt {
    AssignStmt() : Stmt(StmtKind::Assign) {}
    ExprPtr target; // NameExpr, CallExpr (element or indexed property), MemberExpr
    ExprPtr value;
    bool isSet = false;
};

// `s = s & a & b` on a plain variable: appends in place.
struct AppendStmt : Stmt {
    AppendStmt() : Stmt(StmtKind::Append) {}
    ExprPtr target; // NameExpr
    std::vector<ExprPtr> pieces;
};

struct DimItem {
    std::unique_ptr<NameExpr> target;
    bool isArray = false;
    std::vector<ExprPtr> bounds; // empty with isArray: a dynamic array
};

struct DimStmt : Stmt {
    DimStmt() : Stmt(StmtKind::Dim) {}
    std::vector<DimItem> items;
};

struct ReDimStmt : Stmt {
    ReDimStmt() : Stmt(StmtKind::ReDim) {}
    bool preserve = false;
    std::vector<DimItem> items;
};

struct EraseStmt : Stmt {
    EraseStmt() : Stmt(StmtKind::Erase) {}
    std::vector<ExprPtr> targets;
};

struct IfStmt : Stmt {
    IfStmt() : Stmt(StmtKind::If) {}
    std::vector<std::pair<ExprPtr, Block>> branches;
    Block elseBlock;
};

struct CaseItem {
    enum Kind : uint8_t { Value, Range, Compare } kind = Value;
    Op op = Op::Eq; // Compare
    ExprPtr first;
    ExprPtr second; // Range
};

struct SelectStmt : Stmt {
    SelectStmt() : Stmt(StmtKind::Select) {}
    ExprPtr test;
    std::vector<std::pair<std::vector<CaseItem>, Block>> cases;
    bool hasElse = false;
    Block elseBlock;
};

struct ForStmt : Stmt {
    ForStmt() : Stmt(StmtKind::For) {}
    ExprPtr counter; // NameExpr
    ExprPtr from, to, step;
    Block body;
};

struct ForEachStmt : Stmt {
    ForEachStmt() : Stmt(StmtKind::ForEach) {}
    ExprPtr element; // NameExpr
    ExprPtr collection;
    Block body;
};

struct DoStmt : Stmt {
    DoStmt() : Stmt(StmtKind::Do) {}
    ExprPtr condition; // may be null
    bool until = false;
    bool testAtEnd = false;
    bool isWhile = false; // While...Wend: no Exit leaves it
    Block body;
};

enum class ExitKind : uint8_t { Do, For, Sub, Function, Property };

struct ExitStmt : Stmt {
    ExitStmt() : Stmt(StmtKind::Exit) {}
    ExitKind what = ExitKind::Sub;
};

struct WithStmt : Stmt {
    WithStmt() : Stmt(StmtKind::With) {}
    ExprPtr object;
    int slot = -1; // hidden local holding the object
    Block body;
};

struct OnErrorStmt : Stmt {
    OnErrorStmt() : Stmt(StmtKind::OnError) {}
    bool resumeNext = false;
};

// ---- procedures, classes, units ---------------------------------------

enum class ProcKind : uint8_t { TopLevel, Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
    Text name;
    bool byVal = false;
    bool isArray = false; // `a()`
};

// A local name of a procedure: a slot, or a folded constant.
struct LocalName {
    int slot = -1;
    bool isConstant = false;
    Value constant;
};

// A function's body when it is a single expression (Procedure::expression),
// as operators on registers: the parameters' values (0 to 7), the values
// worked out on the way (8 to 15) and the numbers the body names (16 on).
struct ExpressionOp {
    Op op = Op::Add;
    uint8_t left = 0, right = 0, target = 0;
};

struct ExpressionBody {
    static constexpr size_t kParams = 8, kTemps = 8, kNumbers = 8;
    static constexpr uint8_t kFirstTemp = kParams, kFirstNumber = kParams + kTemps;
    static constexpr size_t kRegisters = kParams + kTemps + kNumbers;

    bool valid = false; // false: the body is something else
    // No Double among the numbers and no `/`: whole numbers stay whole.
    bool whole = false;
    uint8_t result = 0; // the register holding the value
    std::vector<ExpressionOp> ops;
    std::vector<InlineNumber> numbers;
};

struct Procedure {
    Text name;
    ProcKind kind = ProcKind::Sub;
    bool isPublic = true;
    bool isDefault = false;
    uint32_t paramCount = 0;          // params.size(), set with `code` (settleFrame)
    std::vector<Param> params;
    bool anyByVal = false;            // some parameter is ByVal
    int localCount = 0;
    int resultSlot = -1;              // functions and Property Get
    // Set with `code` (settleFrame), read by every call: the slots a call
    // takes (its locals, then the code's value stack), at least one (as
    // SlotStack::takeFrame wants).
    uint32_t frameSlots = 0;
    Block body;                       // until compiled
    std::unique_ptr<Code> code;       // the body compiled
    // A global function whose body is `Name = expression` over its
    // parameters and numbers with + - * / \ Mod: that expression, for
    // calls to work out without a frame (expression_body.h).  Not valid
    // for any other procedure.
    ExpressionBody expression;
    ClassDef* owner = nullptr;
    CodeUnit* unit = nullptr;
    int line = 0;
    std::unordered_map<Text, LocalName> locals; // by lower-case name
    std::vector<NameExpr*> names;               // every name to resolve (until compiled)
    Procedure* outer = nullptr;                 // Execute/Eval: the calling procedure

    int addLocal(const Text& lowerName)
    {
        auto it = locals.find(lowerName);
        if (it != locals.end() && !it->second.isConstant)
            return it->second.slot;
        const int slot = localCount++;
        locals[lowerName] = LocalName{slot, false, {}};
        return slot;
    }
    int addHidden() { return localCount++; }
    // Records what calls read of `code`, once it is set.
    void settleFrame()
    {
        paramCount = static_cast<uint32_t>(params.size());
        frameSlots = std::max(1u, static_cast<uint32_t>(localCount) + static_cast<uint32_t>(code->maxStack));
    }
};

struct ClassField {
    Text name;
    bool isPublic = true;
    bool isArray = false;
    std::vector<int32_t> bounds; // fixed-size array field
};

// A member of a script class as scripts see it.
struct ClassMember {
    Text name;
    bool isPublic = true;
    int field = -1;                // a field, or:
    Procedure* method = nullptr;   // Sub or Function
    Procedure* get = nullptr;      // Property Get
    Procedure* let = nullptr;      // Property Let
    Procedure* set = nullptr;      // Property Set
};

struct ClassDef {
    Text name;
    std::vector<ClassField> fields;
    std::vector<ClassMember> members; // members[0] is the default member (may be empty)
    std::unordered_map<Text, int> memberIndex; // lower-case name -> member number
    Procedure* initialize = nullptr;
    Procedure* terminate = nullptr;
    std::vector<std::unique_ptr<Procedure>> procedures;
    bool hasDefault = false;
};

// One piece of code given to the engine (AddCode, ExecuteGlobal, Execute, Eval).
struct CodeUnit {
    // What the unit holds, charged to the session's meter (code_size.h);
    // declared first, so that it is credited after the rest is freed.
    MemoryCharge charge;
    Text source;
    std::vector<Text> lines; // for reporting the failing line's text
    std::unique_ptr<Procedure> topLevel;
    std::vector<std::unique_ptr<Procedure>> procedures;
    std::vector<std::unique_ptr<ClassDef>> classes;
    struct GlobalDecl {
        Text name;
        bool isPublic = true;
        bool isConstant = false;
        Value constant;
        int line = 0;
        int column = 0;
    };
    std::vector<GlobalDecl> globals;   // Dim/Public/Private/Const at the top level
    bool optionExplicit = false;
    // Compiled from a text that Execute or ExecuteGlobal ran: its lines are
    // lines of that text, not of the code the host added.
    bool executed = false;
    ExprPtr evalExpression;            // Eval: the expression to evaluate (until compiled)
    std::unique_ptr<Code> evalCode;    // ... compiled

    // The text of 1-based line `line`; empty when there is no such line.
    Text lineText(int line) const
    {
        return line >= 1 && static_cast<size_t>(line) <= lines.size() ? lines[static_cast<size_t>(line - 1)] : Text();
    }
};

} // namespace quillet::script
