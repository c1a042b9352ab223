// The parser's entry point: the unit's loop of declarations and statements,
// and the cursor helpers every part reads tokens with (parser_state.h).

#include "script/core/parser.h"

#include "script/core/parser_state.h"

namespace quillet::script {

// The unit's top level is a procedure of its own: the statements outside
// any Sub, Function or Class go into its body.
Parser::Parser(CodeUnit& unit, std::vector<Token> tokens) : unit_(unit), toks_(std::move(tokens))
{
    unit_.topLevel = std::make_unique<Procedure>();
    unit_.topLevel->kind = ProcKind::TopLevel;
    unit_.topLevel->unit = &unit_;
    proc_ = unit_.topLevel.get();
}

// unit := { EOS } expression { EOS } EOF                      (ParseMode::Expression)
//       | { EOS } { "Option" "Explicit" END | statement { EOS } } EOF
// "Option Explicit" only before any declaration or statement.  Declarations
// come in as statements (statement, mayDeclare).
void Parser::program(ParseMode mode)
{
    mode_ = mode;
    skipEnds();
    if (mode == ParseMode::Expression) {
        unit_.evalExpression = expression();
        skipEnds();
        if (cur().kind != Tok::EndOfFile)
            fail(cerr::ExpectedEndOfStatement);
        return;
    }
    bool first = true;
    while (cur().kind != Tok::EndOfFile) {
        if (isKw(Kw::Option)) {
            next();
            if (!isKw(Kw::Explicit))
                fail(cerr::ExpectedIdentifier);
            if (!first)
                fail(cerr::MustBeFirstStatement);
            next();
            unit_.optionExplicit = true;
            endStatement();
            continue;
        }
        first = false;
        statement(unit_.topLevel->body);
        skipEnds();
    }
}

// "k", or error `error`.
void Parser::expectKw(Kw k, int error)
{
    if (!isKw(k))
        fail(error);
    next();
}

// { EOS }
void Parser::skipEnds()
{
    while (cur().kind == Tok::EndOfStatement)
        next();
}

// END := EOS | EOF | "End"        (EOF and "End" are not read)
void Parser::endStatement()
{
    if (cur().kind == Tok::EndOfFile || isKw(Kw::End))
        return;
    if (cur().kind != Tok::EndOfStatement)
        fail(cerr::ExpectedEndOfStatement);
    next();
}

// NAME
Text Parser::name()
{
    if (!isName())
        fail(cerr::ExpectedIdentifier);
    Text n = cur().text;
    next();
    return n;
}

// A name the code uses: listed with the procedure's names, which are
// resolved once the whole unit is read.
std::unique_ptr<NameExpr> Parser::nameNode(const Token& at, Text text)
{
    auto n = node<NameExpr>(at);
    n->name = std::move(text);
    proc_->names.push_back(n.get());
    return n;
}

void parseUnit(CodeUnit& unit, ParseMode mode)
{
    Parser parser(unit, tokenize(unit.source));
    parser.program(mode);
}

} // namespace quillet::script
