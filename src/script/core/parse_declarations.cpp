// Declarations: variables and array bounds (Dim, Public, Private, and the
// bounds ReDim reads too), constants, and procedures with their parameter
// lists.  Class bodies are in parse_classes.cpp.

#include "script/core/parser_state.h"

namespace quillet::script {

// declaration := [ "Public" [ "Default" ] | "Private" ] procedure
//              | classDefinition
//              | [ "Public" | "Private" ] constants END { EOS }
//              | ( "Public" | "Private" ) variables END { EOS }
// Outside procedures and classes (Parser::mayDeclare).  "Default" after
// "Private" is an error; without "Public" or "Private" it is a name
// (`default = 3`).  Returns true when it read a declaration, and false,
// having read nothing, at anything else (a statement).
bool Parser::declaration()
{
    bool isPublic = true;
    bool hasAccess = false;
    size_t save = pos_;
    if (isKw(Kw::Public) || isKw(Kw::Private)) {
        isPublic = isKw(Kw::Public);
        hasAccess = true;
        next();
    }
    bool isDefault = false;
    if (isKw(Kw::Default)) {
        if (!hasAccess) {
            pos_ = save; // `default = 3`: a variable named Default
            return false;
        }
        if (!isPublic)
            fail(cerr::DefaultOnlyPublic);
        isDefault = true;
        next();
    }
    if (isKw(Kw::Sub) || isKw(Kw::Function) || atPropertyDeclaration()) {
        procedure(isPublic, isDefault);
        return true;
    }
    if (isDefault)
        fail(cerr::DefaultOnlyProcedure);
    if (isKw(Kw::Class)) {
        if (hasAccess)
            fail(cerr::Syntax);
        classDefinition();
        return true;
    }
    if (isKw(Kw::Const)) {
        constants(isPublic);
        endStatement();
        skipEnds();
        return true;
    }
    if (hasAccess) {
        // Public x, y(3): script-level variables.
        if (isKw(Kw::Dim))
            fail(cerr::Syntax);
        auto dim = node<DimStmt>(cur());
        variables(*dim, isPublic);
        if (!dim->items.empty())
            unit_.topLevel->body.push_back(std::move(dim));
        endStatement();
        skipEnds();
        return true;
    }
    pos_ = save;
    return false;
}

// constants := "Const" NAME "=" constantValue { "," NAME "=" constantValue }
void Parser::constants(bool isPublic)
{
    next(); // Const
    do {
        const Token at = cur();
        Text n = name();
        if (!isOp(u"="))
            fail(cerr::ExpectedEquals);
        next();
        declareConstant(at, n, constantValue(), isPublic);
        if (cur().kind != Tok::Comma)
            break;
        next();
    } while (true);
}

// A constant is a global of the unit outside procedures and classes, a
// constant of every method in a class body, and else the procedure's own.
void Parser::declareConstant(const Token& at, const Text& name, Value value, bool isPublic)
{
    const Text lower = lowerCase(name);
    if (proc_->kind != ProcKind::TopLevel) {
        if (proc_->locals.count(lower))
            throwCompileError(cerr::NameRedefined, at.line, at.column);
        proc_->locals[lower] = LocalName{-1, true, std::move(value)};
    } else if (class_) {
        classConstants_.emplace_back(lower, std::move(value));
    } else {
        unit_.globals.push_back({name, isPublic, true, std::move(value), at.line, at.column});
    }
}

// constantValue := { "-" | "+" } ( NUMBER | DATE | STRING | "True" | "False" | "Null" | "Empty"
//                                | "Nothing" | NAME )
// A Const's value: a literal, optionally negated, or an earlier constant (NAME:
// a constant of the procedure, of the class being read, or a global constant
// of this unit).
Value Parser::constantValue()
{
    int sign = 1;
    while (isOp(u"-") || isOp(u"+")) {
        if (isOp(u"-"))
            sign = -sign;
        next();
    }
    Value v;
    const Token& t = cur();
    const int line = t.line, column = t.column;
    if (t.kind == Tok::Number || t.kind == Tok::Date) {
        v = t.value;
    } else if (t.kind == Tok::String) {
        v = Value::string(t.text);
    } else if (isKw(Kw::True) || isKw(Kw::False)) {
        v = Value::boolean(isKw(Kw::True));
    } else if (isKw(Kw::Null)) {
        v = Value::null();
    } else if (isKw(Kw::Empty)) {
        v = Value();
    } else if (isKw(Kw::Nothing)) {
        v = Value::nothing();
    } else if (isName()) {
        const Text lower = lowerCase(t.text);
        auto local = proc_->locals.find(lower);
        auto ofClass = std::find_if(classConstants_.rbegin(), classConstants_.rend(),
                                    [&](const auto& c) { return c.first == lower; });
        if (local != proc_->locals.end() && local->second.isConstant) {
            v = local->second.constant;
        } else if (ofClass != classConstants_.rend()) {
            v = ofClass->second;
        } else {
            bool found = false;
            for (auto& g : unit_.globals) {
                if (g.isConstant && equalsIgnoreCase(g.name, t.text)) {
                    v = g.constant;
                    found = true;
                }
            }
            if (!found)
                fail(cerr::ExpectedLiteralConstant);
        }
    } else {
        fail(cerr::ExpectedLiteralConstant);
    }
    next();
    if (sign < 0) {
        switch (v.type()) {
        case Type::Integer:
            v = v.rawInteger() == -32768 ? Value::longInt(32768) : Value::integer(static_cast<int16_t>(-v.rawInteger()));
            break;
        case Type::Long:
            v = v.rawLong() == INT32_MIN ? Value::dbl(2147483648.0) : Value::longInt(-v.rawLong());
            break;
        case Type::Double: v = Value::dbl(-v.rawDouble()); break;
        default:
            try {
                v = Value::dbl(-v.toDouble());
            } catch (const VbError&) {
                // -"x", -Nothing: no constant has that value.
                throwCompileError(cerr::ExpectedLiteralConstant, line, column);
            }
            break;
        }
    }
    return v;
}

// boundList := "(" [ expression { "," expression } ] ")"
// The bounds of an array in Dim or ReDim.  Only Dim may leave the list empty
// (`mayBeEmpty`): `Dim a()` declares a dynamic array.
void Parser::boundList(std::vector<ExprPtr>& bounds, bool mayBeEmpty)
{
    next();
    if (!(mayBeEmpty && cur().kind == Tok::RParen)) {
        do {
            bounds.push_back(expression());
            if (cur().kind != Tok::Comma)
                break;
            next();
        } while (true);
    }
    if (cur().kind != Tok::RParen)
        fail(cerr::ExpectedRParen);
    next();
}

// variables := NAME [ boundList ] { "," NAME [ boundList ] }
// Names after Dim/Public/Private (outside procedures and classes: globals).
// Only the arrays become items of `dim`.
void Parser::variables(DimStmt& dim, bool isPublic)
{
    do {
        const Token at = cur();
        Text n = name();
        DimItem item;
        if (cur().kind == Tok::LParen) {
            item.isArray = true;
            boundList(item.bounds, true);
        }
        const Text lower = lowerCase(n);
        if (proc_->kind == ProcKind::TopLevel) {
            unit_.globals.push_back({n, isPublic, false, Value(), at.line, at.column});
        } else {
            auto it = proc_->locals.find(lower);
            if (it != proc_->locals.end() && (it->second.isConstant || it->second.slot < static_cast<int>(proc_->params.size())))
                throwCompileError(cerr::NameRedefined, at.line, at.column);
            proc_->addLocal(lower);
        }
        if (item.isArray) {
            item.target = nameNode(at, n);
            dim.items.push_back(std::move(item));
        }
        if (cur().kind != Tok::Comma)
            break;
        next();
    } while (true);
}

// params := [ "(" [ param { "," param } ] ")" ]
// param := [ "ByVal" | "ByRef" ] NAME [ "(" ")" ]
void Parser::params(Procedure& p)
{
    if (cur().kind != Tok::LParen)
        return;
    next();
    if (cur().kind != Tok::RParen) {
        do {
            Param param;
            if (isKw(Kw::ByVal)) {
                param.byVal = true;
                p.anyByVal = true;
                next();
            } else if (isKw(Kw::ByRef)) {
                next();
            }
            const Token at = cur();
            param.name = name();
            if (cur().kind == Tok::LParen) {
                next();
                if (cur().kind != Tok::RParen)
                    fail(cerr::ExpectedRParen);
                next();
                param.isArray = true;
            }
            const Text lower = lowerCase(param.name);
            if (p.locals.count(lower))
                throwCompileError(cerr::NameRedefined, at.line, at.column);
            p.addLocal(lower);
            p.params.push_back(std::move(param));
            if (cur().kind != Tok::Comma)
                break;
            next();
        } while (true);
    }
    if (cur().kind != Tok::RParen)
        fail(cerr::ExpectedRParen);
    next();
}

// procedure := ( "Sub" | "Function" | "Property" ( "Get" | "Let" | "Set" ) ) NAME params END { EOS }
//              { statement { EOS } }
//              "End" ( "Sub" | "Function" | "Property" ) END { EOS }
// The closing word matches the opening one.  Property only inside a class;
// Default only on a Property Get, Function or Sub.  After a parenthesised
// parameter list the body may start on the same line.  In the body, EOF,
// another "End", "Sub", "Function", "Class" or "Property Get/Let/Set" is an
// error.
void Parser::procedure(bool isPublic, bool isDefault)
{
    const Token start = cur();
    auto p = std::make_unique<Procedure>();
    p->isPublic = isPublic;
    p->isDefault = isDefault;
    p->unit = &unit_;
    p->owner = class_;
    p->line = start.line;
    Kw endKw;
    int endError;
    if (isKw(Kw::Sub)) {
        p->kind = ProcKind::Sub;
        endKw = Kw::Sub;
        endError = cerr::ExpectedSub;
    } else if (isKw(Kw::Function)) {
        p->kind = ProcKind::Function;
        endKw = Kw::Function;
        endError = cerr::ExpectedFunction;
    } else {
        next();
        if (isKw(Kw::Get))
            p->kind = ProcKind::PropertyGet;
        else if (isKw(Kw::Let))
            p->kind = ProcKind::PropertyLet;
        else if (isKw(Kw::Set))
            p->kind = ProcKind::PropertySet;
        else
            fail(cerr::ExpectedLetSetGet);
        if (!class_)
            fail(cerr::MustBeInsideClass);
        endKw = Kw::Property;
        endError = cerr::ExpectedProperty;
    }
    next();
    p->name = name();
    if (isDefault && p->kind != ProcKind::PropertyGet && p->kind != ProcKind::Function && p->kind != ProcKind::Sub)
        fail(cerr::DefaultOnlyPropertyGet);
    params(*p);
    if (class_ && !p->params.empty() &&
        (equalsIgnoreCase(p->name, u"Class_Initialize") || equalsIgnoreCase(p->name, u"Class_Terminate")))
        throwCompileError(cerr::ClassInitNoArgs, start.line, start.column);
    if ((p->kind == ProcKind::PropertyLet || p->kind == ProcKind::PropertySet) && p->params.empty())
        throwCompileError(cerr::PropertyLetSetNeedsArg, start.line, start.column);
    if (p->kind == ProcKind::Function || p->kind == ProcKind::PropertyGet)
        p->resultSlot = p->addLocal(lowerCase(p->name));
    if (toks_[pos_ - 1].kind != Tok::RParen)
        endStatement();
    skipEnds();

    // A Sub may be declared inside a block of the top level: the loops
    // and Withs around it are not its own.
    Procedure* saved = proc_;
    proc_ = p.get();
    auto savedWith = std::move(withSlots_);
    withSlots_.clear();
    const int savedDo = std::exchange(doLoops_, 0);
    const int savedFor = std::exchange(forLoops_, 0);
    while (!(isKw(Kw::End) && peekKw(1, endKw))) {
        if (cur().kind == Tok::EndOfFile || isKw(Kw::End) || isKw(Kw::Sub) || isKw(Kw::Function) ||
            isKw(Kw::Class) || atPropertyDeclaration())
            fail(isKw(Kw::End) || cur().kind == Tok::EndOfFile ? endError : cerr::Syntax);
        statement(p->body);
        skipEnds();
    }
    next();
    next();
    endStatement();
    skipEnds();
    proc_ = saved;
    withSlots_ = std::move(savedWith);
    doLoops_ = savedDo;
    forLoops_ = savedFor;
    if (class_)
        class_->procedures.push_back(std::move(p));
    else
        unit_.procedures.push_back(std::move(p));
}

} // namespace quillet::script
