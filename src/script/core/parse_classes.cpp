// Class definitions: the body of a class, its fields, constants and
// procedures (procedure() itself is in parse_declarations.cpp).

#include "script/core/parser_state.h"

namespace quillet::script {

// classDefinition := "Class" NAME END { EOS } { classMember { EOS } } "End" "Class" END { EOS }
void Parser::classDefinition()
{
    next(); // Class
    auto cls = std::make_unique<ClassDef>();
    cls->name = name();
    endStatement();
    skipEnds();
    class_ = cls.get();
    while (!(isKw(Kw::End) && peekKw(1, Kw::Class))) {
        if (cur().kind == Tok::EndOfFile)
            fail(cerr::ExpectedClass);
        classMember(*cls);
        skipEnds();
    }
    next();
    next();
    endStatement();
    skipEnds();
    // Class constants are constants of every method of the class.
    for (auto& proc : cls->procedures) {
        for (auto& [lower, value] : classConstants_)
            proc->locals.emplace(lower, LocalName{-1, true, value});
    }
    classConstants_.clear();
    class_ = nullptr;
    unit_.classes.push_back(std::move(cls));
}

// classMember := "Dim" fields
//              | [ "Public" | "Private" ] [ "Default" ] procedure
//              | [ "Public" | "Private" ] constants END
//              | ( "Public" | "Private" ) fields
// "Default" after "Private", or before anything but a procedure, is an
// error.
void Parser::classMember(ClassDef& cls)
{
    bool isPublic = true;
    bool hasAccess = false;
    if (isKw(Kw::Public) || isKw(Kw::Private)) {
        isPublic = isKw(Kw::Public);
        hasAccess = true;
        next();
    } else if (isKw(Kw::Dim)) {
        hasAccess = true;
        next();
        fields(cls, true);
        return;
    }
    bool isDefault = false;
    if (isKw(Kw::Default)) {
        if (!isPublic)
            fail(cerr::DefaultOnlyPublic);
        isDefault = true;
        next();
    }
    if (isKw(Kw::Sub) || isKw(Kw::Function) || atPropertyDeclaration()) {
        procedure(isPublic, isDefault);
        return;
    }
    if (isDefault)
        fail(cerr::DefaultOnlyProcedure);
    if (isKw(Kw::Const)) {
        constants(isPublic);
        endStatement();
        return;
    }
    if (!hasAccess)
        fail(cerr::ExpectedStatement);
    fields(cls, isPublic);
}

// fields := field { "," field } END
// field := NAME [ "(" [ constantValue { "," constantValue } ] ")" ]
// The bounds of a fixed-size array field are constants that convert to a
// Long (else "Expected integer constant").
void Parser::fields(ClassDef& cls, bool isPublic)
{
    do {
        ClassField f;
        f.isPublic = isPublic;
        f.name = name();
        if (cur().kind == Tok::LParen) {
            f.isArray = true;
            next();
            if (cur().kind != Tok::RParen) {
                do {
                    const Token at = cur();
                    const Value v = constantValue();
                    try {
                        f.bounds.push_back(v.toInt32());
                    } catch (const VbError&) {
                        // "x", Null, 1E+300: not a bound, and not a run-time error either.
                        throwCompileError(cerr::ExpectedInteger, at.line, at.column);
                    }
                    if (cur().kind != Tok::Comma)
                        break;
                    next();
                } while (true);
            }
            if (cur().kind != Tok::RParen)
                fail(cerr::ExpectedRParen);
            next();
        }
        cls.fields.push_back(std::move(f));
        if (cur().kind != Tok::Comma)
            break;
        next();
    } while (true);
    endStatement();
}

} // namespace quillet::script
