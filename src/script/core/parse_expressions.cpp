// Expressions: one function per precedence level, lowest first (Imp, Eqv,
// Xor, Or, And, Not, comparisons, &, + and -, Mod, integer division, * and /,
// ^, signs), then primaries with their member and argument chains, and
// argument lists.

#include "script/core/parser_state.h"

namespace quillet::script {

// A binary operator's node, counted against kMaxOperatorsPerStatement.
std::unique_ptr<BinaryExpr> Parser::operatorNode(const Token& at)
{
    countLink(at);
    return node<BinaryExpr>(at);
}

// One more operator or chain link in the statement.
void Parser::countLink(const Token& at)
{
    if (++operators_ > kMaxOperatorsPerStatement)
        throwCompileError(vberr::OutOfStack, at.line, at.column);
}

// expression := impExpr
ExprPtr Parser::expression()
{
    return impExpr();
}

// level := nextLevel { KEYWORD nextLevel }
// A left-associative level whose operators are the keywords of `ops`.
template <typename Next>
ExprPtr Parser::binaryLevel(Next nextLevel, std::initializer_list<std::pair<Kw, Op>> ops)
{
    ExprPtr left = (this->*nextLevel)();
    while (true) {
        bool matched = false;
        for (auto [kw, op] : ops) {
            if (isKw(kw)) {
                const Token at = cur();
                next();
                auto b = operatorNode(at);
                b->op = op;
                b->left = std::move(left);
                b->right = (this->*nextLevel)();
                left = std::move(b);
                matched = true;
                break;
            }
        }
        if (!matched)
            return left;
    }
}

// impExpr := eqvExpr { "Imp" eqvExpr }
// Every nested expression starts here: it counts towards kMaxNesting.
ExprPtr Parser::impExpr()
{
    DepthGuard guard(*this);
    return binaryLevel(&Parser::eqvExpr, {{Kw::Imp, Op::Imp}});
}

// eqvExpr := xorExpr { "Eqv" xorExpr }
ExprPtr Parser::eqvExpr()
{
    return binaryLevel(&Parser::xorExpr, {{Kw::Eqv, Op::Eqv}});
}

// xorExpr := orExpr { "Xor" orExpr }
ExprPtr Parser::xorExpr()
{
    return binaryLevel(&Parser::orExpr, {{Kw::Xor, Op::Xor}});
}

// orExpr := andExpr { "Or" andExpr }
ExprPtr Parser::orExpr()
{
    return binaryLevel(&Parser::andExpr, {{Kw::Or, Op::Or}});
}

// andExpr := notExpr { "And" notExpr }
ExprPtr Parser::andExpr()
{
    return binaryLevel(&Parser::notExpr, {{Kw::And, Op::And}});
}

// notExpr := "Not" notExpr | compareExpr
ExprPtr Parser::notExpr()
{
    if (isKw(Kw::Not)) {
        DepthGuard guard(*this);
        const Token at = cur();
        next();
        auto u = node<UnaryExpr>(at);
        u->op = Op::Not;
        u->operand = notExpr();
        return u;
    }
    return compareExpr();
}

// The comparison operator at the current token ("=", "<>", "<", ">", "<=",
// ">=" or "Is"), or Op::Add when none.  Reads nothing.
Op Parser::comparisonOp() const
{
    if (isKw(Kw::Is))
        return Op::Is;
    if (cur().kind != Tok::Operator)
        return Op::Add;
    const Text& t = cur().text;
    if (t == u"=") return Op::Eq;
    if (t == u"<>") return Op::Ne;
    if (t == u"<") return Op::Lt;
    if (t == u">") return Op::Gt;
    if (t == u"<=") return Op::Le;
    if (t == u">=") return Op::Ge;
    return Op::Add;
}

// compareExpr := concatExpr { ( "=" | "<>" | "<" | ">" | "<=" | ">=" | "Is" ) concatExpr }
// Each comparison notes which of its sides are literals.
ExprPtr Parser::compareExpr()
{
    ExprPtr left = concatExpr();
    while (true) {
        const Op op = comparisonOp();
        if (op == Op::Add)
            return left;
        const Token at = cur();
        next();
        auto b = operatorNode(at);
        b->op = op;
        b->left = std::move(left);
        b->right = concatExpr();
        b->leftLiteral = isLiteral(*b->left);
        b->rightLiteral = isLiteral(*b->right);
        left = std::move(b);
    }
}

// A literal, possibly under unary operators and parentheses.
bool Parser::isLiteral(const Expr& e)
{
    if (e.kind == ExprKind::Literal)
        return true;
    if (e.kind == ExprKind::Unary)
        return isLiteral(*static_cast<const UnaryExpr&>(e).operand);
    if (e.kind == ExprKind::Paren)
        return isLiteral(*static_cast<const ParenExpr&>(e).inner);
    return false;
}

// level := nextLevel { OPERATOR nextLevel }
// A left-associative level whose operators are the operator texts of `ops`,
// and the keyword `kw` when there is one.
ExprPtr Parser::opLevel(ExprPtr (Parser::*nextLevel)(), std::initializer_list<std::pair<const char16_t*, Op>> ops,
                        Kw kw, Op kwOp)
{
    ExprPtr left = (this->*nextLevel)();
    while (true) {
        Op found = Op::Not;
        for (auto [text, op] : ops) {
            if (isOp(text))
                found = op;
        }
        if (found == Op::Not && kw != Kw::None && isKw(kw))
            found = kwOp;
        if (found == Op::Not)
            return left;
        const Token at = cur();
        next();
        auto b = operatorNode(at);
        b->op = found;
        b->left = std::move(left);
        b->right = (this->*nextLevel)();
        left = std::move(b);
    }
}

// concatExpr := addExpr { "&" addExpr }
ExprPtr Parser::concatExpr()
{
    return opLevel(&Parser::addExpr, {{u"&", Op::Concat}});
}

// addExpr := modExpr { ( "+" | "-" ) modExpr }
ExprPtr Parser::addExpr()
{
    return opLevel(&Parser::modExpr, {{u"+", Op::Add}, {u"-", Op::Sub}});
}

// modExpr := intDivExpr { "Mod" intDivExpr }
ExprPtr Parser::modExpr()
{
    return opLevel(&Parser::intDivExpr, {}, Kw::Mod, Op::Mod);
}

// intDivExpr := mulExpr { "\" mulExpr }
ExprPtr Parser::intDivExpr()
{
    return opLevel(&Parser::mulExpr, {{u"\\", Op::IntDiv}});
}

// mulExpr := powExpr { ( "*" | "/" ) powExpr }
ExprPtr Parser::mulExpr()
{
    return opLevel(&Parser::powExpr, {{u"*", Op::Mul}, {u"/", Op::Div}});
}

// powExpr := unaryExpr { "^" unaryExpr }
// Left-associative.  A sign binds tighter than "^": -3 ^ 2 is 9, and
// 2 ^ -1 needs no parentheses.
ExprPtr Parser::powExpr()
{
    return opLevel(&Parser::unaryExpr, {{u"^", Op::Pow}});
}

// unaryExpr := ( "-" | "+" ) unaryExpr | postfixChain
// A negated Integer, Long or Double literal is folded into the literal.
ExprPtr Parser::unaryExpr()
{
    if (isOp(u"-") || isOp(u"+")) {
        DepthGuard guard(*this);
        const Token at = cur();
        const bool neg = isOp(u"-");
        next();
        ExprPtr operand = unaryExpr();
        if (neg && operand->kind == ExprKind::Literal) {
            // Fold negative literals so they count as literals.
            auto& lit = static_cast<LiteralExpr&>(*operand);
            const Value& v = lit.value;
            if (v.type() == Type::Integer)
                lit.value = v.rawInteger() == -32768 ? Value::longInt(32768) : Value::integer(static_cast<int16_t>(-v.rawInteger()));
            else if (v.type() == Type::Long && v.rawLong() != INT32_MIN)
                lit.value = Value::longInt(-v.rawLong());
            else if (v.type() == Type::Double)
                lit.value = Value::dbl(-v.rawDouble());
            else
                goto general;
            return operand;
        }
    general:
        auto u = node<UnaryExpr>(at);
        u->op = neg ? Op::Neg : Op::Plus;
        u->operand = std::move(operand);
        return u;
    }
    return postfixChain(-1);
}

// primary := NUMBER | DATE | STRING | "(" expression ")"
//          | "." IDENTIFIER
//          | NAME | "True" | "False" | "Empty" | "Null" | "Nothing"
//          | "Me"
//          | "New" NAME
// Outside a With, ".x" is read all the same: running it is error 505.
ExprPtr Parser::primary()
{
    const Token& t = cur();
    switch (t.kind) {
    case Tok::Number:
    case Tok::Date: {
        auto lit = node<LiteralExpr>(t);
        lit->value = t.value;
        next();
        return lit;
    }
    case Tok::String: {
        auto lit = node<LiteralExpr>(t);
        lit->value = Value::string(t.text);
        next();
        return lit;
    }
    case Tok::LParen: {
        DepthGuard guard(*this);
        auto paren = node<ParenExpr>(t);
        next();
        paren->inner = expression();
        if (cur().kind != Tok::RParen)
            fail(cerr::ExpectedRParen);
        next();
        return paren;
    }
    case Tok::Dot: {
        auto m = node<MemberExpr>(t);
        next();
        if (cur().kind != Tok::Identifier)
            fail(cerr::ExpectedIdentifier);
        m->name = cur().text;
        m->withSlot = withSlots_.empty() ? -1 : withSlots_.back();
        next();
        return m;
    }
    case Tok::Identifier: {
        if (isNameToken(t)) {
            Text n = t.text;
            next();
            return nameNode(t, std::move(n));
        }
        auto literal = [&](Value v) {
            auto lit = node<LiteralExpr>(t);
            lit->value = std::move(v);
            next();
            return lit;
        };
        switch (t.keyword) {
        case Kw::True: return literal(Value::boolean(true));
        case Kw::False: return literal(Value::boolean(false));
        case Kw::Empty: return literal(Value());
        case Kw::Null: return literal(Value::null());
        case Kw::Nothing: return literal(Value::nothing());
        case Kw::Me: {
            auto me = node<MeExpr>(t);
            next();
            return me;
        }
        case Kw::New: {
            auto n = node<NewExpr>(t);
            next();
            n->className = name();
            return n;
        }
        default: fail(cerr::ExpectedExpression);
        }
    }
    default:
        fail(cerr::ExpectedExpression);
    }
}

// postfixChain := primary { "(" argumentList ")" | "." IDENTIFIER }
// A member's "." has no blank before it: one after a blank ends the chain
// (the statement `f .x` passes the With object's x).  Parentheses around
// what is called are only grouping: `(f)(x)` is `f(x)`, x going by
// reference.  Stops before the token at `stopAt` (used to back off a
// statement's first argument).
ExprPtr Parser::postfixChain(int stopAt)
{
    ExprPtr e = primary();
    while (static_cast<int>(pos_) != stopAt) {
        const Token& t = cur();
        if (t.kind == Tok::LParen) {
            countLink(t);
            lastParen_ = static_cast<int>(pos_);
            while (e->kind == ExprKind::Paren)
                e = std::move(static_cast<ParenExpr&>(*e).inner);
            auto call = node<CallExpr>(t);
            next();
            argumentList(call->args, true);
            if (cur().kind != Tok::RParen)
                fail(cerr::ExpectedRParen);
            next();
            if (e->kind == ExprKind::Name)
                static_cast<NameExpr&>(*e).usedAsCallee = true;
            call->target = std::move(e);
            e = std::move(call);
        } else if (t.kind == Tok::Dot && !t.spaced) {
            countLink(t);
            auto m = node<MemberExpr>(t);
            next();
            if (cur().kind != Tok::Identifier)
                fail(cerr::ExpectedIdentifier);
            m->name = cur().text;
            next();
            m->object = std::move(e);
            e = std::move(m);
        } else {
            break;
        }
    }
    return e;
}

// argumentList := [ [ expression ] { "," [ expression ] } ]
// Up to ")" (not read) or the statement end; an omitted argument is null.
void Parser::argumentList(std::vector<ExprPtr>& args, bool inParens)
{
    auto endOfList = [&] { return inParens ? cur().kind == Tok::RParen : atStatementEnd(); };
    if (endOfList())
        return;
    while (true) {
        if (cur().kind == Tok::Comma)
            args.push_back(nullptr);
        else
            args.push_back(expression());
        if (cur().kind != Tok::Comma)
            break;
        next();
        if (endOfList()) {
            args.push_back(nullptr);
            break;
        }
    }
}

} // namespace quillet::script
