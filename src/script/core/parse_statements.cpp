// Statements: the dispatch on a statement's first word, blocks, If, Select
// Case, the loops, With, Exit, On Error, ReDim, Erase, Call, and assignments
// and call statements.

#include "script/core/parser_state.h"

#include <algorithm>

namespace quillet::script {

// statement := declaration                      (when mayDeclare)
//            | "Dim" variables FINISH
//            | redim | constants FINISH | erase
//            | ifStatement | selectStatement | forStatement | doStatement | whileStatement
//            | withStatement | exitStatement | onError | callStatement
//            | ( "Set" | "Let" ) assignment
//            | "Stop" FINISH                  (Stop with nothing after it on the statement)
//            | assignment                     (from a NAME, "Me" or a With-dot ".")
// Any other keyword is an error.
void Parser::statement(Block& block)
{
    DepthGuard guard(*this);
    operators_ = 0;
    stopPoll_.tick();
    if (mayDeclare() && declaration())
        return;
    const Token& t = cur();
    if (t.kind == Tok::Identifier && !t.bracketed) {
        switch (t.keyword) {
        case Kw::Dim: {
            next();
            auto dim = node<DimStmt>(t);
            variables(*dim, true);
            if (!dim->items.empty())
                block.push_back(std::move(dim));
            finishStatement();
            return;
        }
        case Kw::ReDim: redim(block); return;
        case Kw::Const:
            constants(true);
            finishStatement();
            return;
        case Kw::Erase: erase(block); return;
        case Kw::If: ifStatement(block); return;
        case Kw::Select: selectStatement(block); return;
        case Kw::For: forStatement(block); return;
        case Kw::Do: doStatement(block); return;
        case Kw::While: whileStatement(block); return;
        case Kw::With: withStatement(block); return;
        case Kw::Exit: exitStatement(block); return;
        case Kw::On: onError(block); return;
        case Kw::Set: {
            const Token at = t;
            next();
            assignment(block, true, &at);
            return;
        }
        case Kw::Let: {
            const Token at = t;
            next();
            assignment(block, false, &at);
            return;
        }
        case Kw::Call: callStatement(block); return;
        case Kw::Me: assignment(block, false); return;
        case Kw::Sub: case Kw::Function: case Kw::Class: case Kw::Public: case Kw::Private:
            fail(cerr::Syntax);
        case Kw::None: break;
        case Kw::Get: case Kw::Step: case Kw::Default: case Kw::Explicit: case Kw::Preserve:
        case Kw::Resume: case Kw::Error: case Kw::Property:
            break; // used as a name
        case Kw::Option: fail(cerr::MustBeFirstStatement);
        case Kw::Next: fail(cerr::UnexpectedNext);
        case Kw::Loop: fail(cerr::LoopWithoutDo);
        default: fail(cerr::ExpectedStatement);
        }
    }
    if (t.kind == Tok::Identifier && !t.bracketed && equalsIgnoreCase(t.text, u"stop") &&
        (peek().kind == Tok::EndOfStatement || peek().kind == Tok::EndOfFile ||
         (singleLineIf_ > 0 && peekKw(1, Kw::Else)))) {
        // Stop breaks into a debugger; without one it does nothing.
        next();
        finishStatement();
        return;
    }
    if (t.kind == Tok::Identifier || t.kind == Tok::Dot) {
        assignment(block, false);
        return;
    }
    fail(cerr::ExpectedStatement);
}

// Whether a statement here may be a declaration: anywhere in the script's
// own code outside procedures and classes, blocks included (a Sub inside
// an If is declared whatever the condition), but not within a single-line
// If.
bool Parser::mayDeclare() const
{
    return mode_ == ParseMode::Program && proc_->kind == ProcKind::TopLevel && !class_ && singleLineIf_ == 0;
}

// FINISH := END, or inside a single-line If: at EOS, EOF, "Else" or "End" (not read)
// Ends a simple statement: a statement end, or the Else of a single-line If.
void Parser::finishStatement()
{
    if (singleLineIf_ > 0) {
        // The single-line If consumes its own separators.
        if (!atStatementEnd())
            fail(cerr::ExpectedEndOfStatement);
        return;
    }
    endStatement();
}

// redim := "ReDim" [ "Preserve" ] NAME boundList { "," NAME boundList } FINISH
// ReDim declares a name no variable has (even under Option Explicit).
void Parser::redim(Block& block)
{
    const Token at = cur();
    next();
    auto stmt = node<ReDimStmt>(at);
    if (isKw(Kw::Preserve)) {
        stmt->preserve = true;
        next();
    }
    do {
        const Token nameTok = cur();
        Text n = name();
        DimItem item;
        item.isArray = true;
        if (cur().kind != Tok::LParen)
            fail(cerr::ExpectedLParen);
        boundList(item.bounds, false);
        item.target = nameNode(nameTok, n);
        item.target->assigned = true;
        item.target->declares = true;
        stmt->items.push_back(std::move(item));
        if (cur().kind != Tok::Comma)
            break;
        next();
    } while (true);
    block.push_back(std::move(stmt));
    finishStatement();
}

// erase := "Erase" NAME { "," NAME } FINISH
void Parser::erase(Block& block)
{
    auto stmt = node<EraseStmt>(cur());
    next();
    do {
        const Token at = cur();
        auto n = nameNode(at, name());
        n->assigned = true;
        stmt->targets.push_back(std::move(n));
        if (cur().kind != Tok::Comma)
            break;
        next();
    } while (true);
    block.push_back(std::move(stmt));
    finishStatement();
}

// block := { EOS } { statement { EOS } }
// Statements up to one of the given keywords (not consumed); EOF before it
// is error `errorAtEof`.
void Parser::blockUntil(Block& block, std::initializer_list<Kw> stops, int errorAtEof)
{
    skipEnds();
    while (true) {
        if (cur().kind == Tok::EndOfFile)
            fail(errorAtEof);
        for (Kw k : stops) {
            if (isKw(k))
                return;
        }
        statement(block);
        skipEnds();
    }
}

// "End" what FINISH: the close of a block statement.
void Parser::expectEnd(Kw what, int error)
{
    if (!isKw(Kw::End))
        fail(error);
    next();
    if (!isKw(what))
        fail(error);
    next();
    finishStatement();
}

// ifStatement := "If" expression "Then"
//                ( lineStatements [ "Else" lineStatements ] [ "End" "If" ] [ END ]
//                | NEWLINE block { "ElseIf" expression "Then" block } [ "Else" block ] "End" "If" FINISH )
// The single-line form is taken when anything but a line end or EOF follows
// Then, ':' included (`If x Then :` is a single-line If doing nothing).  It
// may close with "End If" on its line.  Its END is read by the outermost
// single-line If only (a nested one leaves it).
void Parser::ifStatement(Block& block)
{
    auto stmt = node<IfStmt>(cur());
    next();
    ExprPtr cond = expression();
    expectKw(Kw::Then, cerr::ExpectedThen);
    if (!(cur().kind == Tok::EndOfStatement && cur().text == u"\n") && cur().kind != Tok::EndOfFile) {
        // Single-line If: statements up to the end of the line.
        ++singleLineIf_;
        Block then;
        lineStatements(then);
        stmt->branches.emplace_back(std::move(cond), std::move(then));
        if (isKw(Kw::Else)) {
            next();
            lineStatements(stmt->elseBlock);
        }
        --singleLineIf_;
        if (isKw(Kw::End) && peekKw(1, Kw::If)) {
            next();
            next();
        }
        block.push_back(std::move(stmt));
        if (singleLineIf_ == 0)
            endStatement();
        return;
    }
    Block then;
    blockUntil(then, {Kw::ElseIf, Kw::Else, Kw::End}, cerr::ExpectedEnd);
    stmt->branches.emplace_back(std::move(cond), std::move(then));
    while (isKw(Kw::ElseIf)) {
        next();
        ExprPtr c = expression();
        expectKw(Kw::Then, cerr::ExpectedThen);
        Block b;
        blockUntil(b, {Kw::ElseIf, Kw::Else, Kw::End}, cerr::ExpectedEnd);
        stmt->branches.emplace_back(std::move(c), std::move(b));
    }
    if (isKw(Kw::Else)) {
        next();
        blockUntil(stmt->elseBlock, {Kw::End}, cerr::ExpectedEnd);
    }
    if (!peekKw(1, Kw::If))
        fail(cerr::ExpectedIf);
    block.push_back(std::move(stmt));
    expectEnd(Kw::If, cerr::ExpectedIf);
}

// lineStatements := { ":" | statement }    up to a line end, EOF, "Else" or "End" (not read)
// The statements of a single-line If branch, separated by ':'.
void Parser::lineStatements(Block& block)
{
    while (true) {
        if (cur().kind == Tok::EndOfFile || (cur().kind == Tok::EndOfStatement && cur().lineEnd) ||
            isKw(Kw::Else) || isKw(Kw::End))
            return;
        if (cur().kind == Tok::EndOfStatement) {
            next();
            continue;
        }
        statement(block);
    }
}

// selectStatement := "Select" "Case" expression END { EOS }
//                    { "Case" caseItem { "," caseItem } [ EOS ] block }
//                    [ "Case" "Else" [ EOS ] block ]
//                    "End" "Select" FINISH
// caseItem := "Is" ( "=" | "<>" | "<" | ">" | "<=" | ">=" ) concatExpr
//           | expression [ "To" expression ]
// A Case's first statement may follow its values on the same line without
// a separator (`Case 1 x = 2`).
void Parser::selectStatement(Block& block)
{
    auto stmt = node<SelectStmt>(cur());
    next();
    expectKw(Kw::Case, cerr::ExpectedCase);
    stmt->test = expression();
    endStatement();
    skipEnds();
    while (isKw(Kw::Case)) {
        next();
        if (isKw(Kw::Else)) {
            next();
            if (cur().kind == Tok::EndOfStatement)
                next();
            stmt->hasElse = true;
            blockUntil(stmt->elseBlock, {Kw::End}, cerr::ExpectedEnd);
            break;
        }
        std::vector<CaseItem> items;
        do {
            CaseItem item;
            if (isKw(Kw::Is)) {
                next();
                item.kind = CaseItem::Compare;
                item.op = comparisonOp();
                if (item.op == Op::Is || item.op == Op::Add)
                    fail(cerr::Syntax);
                next();
                item.first = concatExpr();
            } else {
                item.first = expression();
                if (isKw(Kw::To)) {
                    next();
                    item.kind = CaseItem::Range;
                    item.second = expression();
                }
            }
            items.push_back(std::move(item));
            if (cur().kind != Tok::Comma)
                break;
            next();
        } while (true);
        if (cur().kind == Tok::EndOfStatement)
            next();
        Block body;
        blockUntil(body, {Kw::Case, Kw::End}, cerr::ExpectedEnd);
        stmt->cases.emplace_back(std::move(items), std::move(body));
    }
    if (!isKw(Kw::End))
        fail(cerr::ExpectedEnd);
    block.push_back(std::move(stmt));
    expectEnd(Kw::Select, cerr::ExpectedSelect);
}

// loopVariable := NAME     (else "Invalid 'for' loop control variable")
std::unique_ptr<NameExpr> Parser::loopVariable()
{
    const Token at = cur();
    if (!isName())
        fail(cerr::InvalidForVariable);
    auto n = nameNode(at, name());
    n->assigned = true;
    return n;
}

// nextStatement := "Next" FINISH
// No loop variable may follow Next (`Next i` is "Expected end of statement").
void Parser::nextStatement()
{
    if (!isKw(Kw::Next))
        fail(cerr::ExpectedNext);
    next();
    finishStatement();
}

// forStatement := "For" "Each" loopVariable "In" expression END block nextStatement
//               | "For" loopVariable "=" expression "To" expression [ "Step" expression ] END
//                 block nextStatement
void Parser::forStatement(Block& block)
{
    const Token at = cur();
    next();
    if (isKw(Kw::Each)) {
        next();
        auto stmt = node<ForEachStmt>(at);
        stmt->element = loopVariable();
        expectKw(Kw::In, cerr::ExpectedIn);
        stmt->collection = expression();
        endStatement();
        ++forLoops_;
        blockUntil(stmt->body, {Kw::Next}, cerr::ExpectedNext);
        --forLoops_;
        block.push_back(std::move(stmt));
        nextStatement();
        return;
    }
    auto stmt = node<ForStmt>(at);
    stmt->counter = loopVariable();
    if (!isOp(u"="))
        fail(cerr::ExpectedEquals);
    next();
    stmt->from = expression();
    expectKw(Kw::To, cerr::ExpectedTo);
    stmt->to = expression();
    if (isKw(Kw::Step)) {
        next();
        stmt->step = expression();
    }
    endStatement();
    ++forLoops_;
    blockUntil(stmt->body, {Kw::Next}, cerr::ExpectedNext);
    --forLoops_;
    block.push_back(std::move(stmt));
    nextStatement();
}

// doStatement := "Do" [ ( "While" | "Until" ) expression ] EOS block
//                "Loop" [ ( "While" | "Until" ) expression ] FINISH
// A condition at both ends is an error.
void Parser::doStatement(Block& block)
{
    auto stmt = node<DoStmt>(cur());
    next();
    if (isKw(Kw::While) || isKw(Kw::Until)) {
        stmt->until = isKw(Kw::Until);
        next();
        stmt->condition = expression();
    }
    if (cur().kind != Tok::EndOfStatement)
        fail(cerr::ExpectedWhileUntilEnd);
    ++doLoops_;
    blockUntil(stmt->body, {Kw::Loop}, cerr::ExpectedLoop);
    --doLoops_;
    next(); // Loop
    if (isKw(Kw::While) || isKw(Kw::Until)) {
        if (stmt->condition)
            fail(cerr::ExpectedEndOfStatement);
        stmt->until = isKw(Kw::Until);
        stmt->testAtEnd = true;
        next();
        stmt->condition = expression();
    }
    block.push_back(std::move(stmt));
    finishStatement();
}

// whileStatement := "While" expression END block "Wend" FINISH
// No Exit leaves it: an Exit Do inside leaves an enclosing Do.
void Parser::whileStatement(Block& block)
{
    auto stmt = node<DoStmt>(cur());
    stmt->isWhile = true;
    next();
    stmt->condition = expression();
    endStatement();
    blockUntil(stmt->body, {Kw::Wend}, cerr::ExpectedWend);
    next();
    block.push_back(std::move(stmt));
    finishStatement();
}

// withStatement := "With" expression END block "End" "With" FINISH
// The object is kept in a hidden local, which the With-dots inside read.
void Parser::withStatement(Block& block)
{
    auto stmt = node<WithStmt>(cur());
    next();
    stmt->object = expression();
    stmt->slot = proc_->addHidden();
    endStatement();
    withSlots_.push_back(stmt->slot);
    blockUntil(stmt->body, {Kw::End}, cerr::ExpectedEnd);
    withSlots_.pop_back();
    block.push_back(std::move(stmt));
    expectEnd(Kw::With, cerr::ExpectedWith);
}

// exitStatement := "Exit" ( "Do" | "For" | "Sub" | "Function" | "Property" ) FINISH
// Do only inside a Do loop, For inside a For or For Each; Sub, Function and
// Property only inside a procedure of that kind.
void Parser::exitStatement(Block& block)
{
    auto stmt = node<ExitStmt>(cur());
    next();
    const ProcKind k = proc_->kind;
    if (isKw(Kw::Do)) {
        stmt->what = ExitKind::Do;
    } else if (isKw(Kw::For)) {
        stmt->what = ExitKind::For;
    } else if (isKw(Kw::Sub)) {
        if (k != ProcKind::Sub)
            fail(cerr::InvalidExit);
        stmt->what = ExitKind::Sub;
    } else if (isKw(Kw::Function)) {
        if (k != ProcKind::Function)
            fail(cerr::InvalidExit);
        stmt->what = ExitKind::Function;
    } else if (isKw(Kw::Property)) {
        if (k != ProcKind::PropertyGet && k != ProcKind::PropertyLet && k != ProcKind::PropertySet)
            fail(cerr::InvalidExit);
        stmt->what = ExitKind::Property;
    } else {
        fail(cerr::Syntax);
    }
    if ((stmt->what == ExitKind::Do && doLoops_ == 0) || (stmt->what == ExitKind::For && forLoops_ == 0))
        fail(cerr::InvalidExit);
    next();
    block.push_back(std::move(stmt));
    finishStatement();
}

// onError := "On" "Error" ( "Resume" "Next" | "GoTo" NUMBER ) FINISH
// The number must be 0.
void Parser::onError(Block& block)
{
    auto stmt = node<OnErrorStmt>(cur());
    next();
    expectKw(Kw::Error, cerr::Syntax);
    if (isKw(Kw::Resume)) {
        next();
        expectKw(Kw::Next, cerr::Syntax);
        stmt->resumeNext = true;
    } else if (isKw(Kw::GoTo)) {
        next();
        if (cur().kind != Tok::Number || cur().value.toDouble() != 0)
            fail(cerr::Syntax);
        next();
    } else {
        fail(cerr::Syntax);
    }
    block.push_back(std::move(stmt));
    finishStatement();
}

// callStatement := "Call" postfixChain FINISH
void Parser::callStatement(Block& block)
{
    auto stmt = node<CallStmt>(cur());
    next();
    ExprPtr target = postfixChain(-1);
    if (!atStatementEnd())
        fail(cerr::ExpectedEndOfStatement);
    stmt->call = std::move(target);
    block.push_back(std::move(stmt));
    finishStatement();
}

// assignment := postfixChain "=" expression FINISH
//             | postfixChain FINISH
//             | postfixChain argumentList FINISH
// `target = value`, `Set target = value` (after Set only this form), or a call
// statement `name args` / `obj.Method args` / `name(arg)`.  When arguments
// follow a chain that ended in a parenthesised group, that group starts the
// first argument: the chain is read again, stopping before it.
void Parser::assignment(Block& block, bool isSet, const Token* keyword)
{
    const Token at = keyword ? *keyword : cur();
    const size_t start = pos_;
    const size_t namesBefore = proc_->names.size();
    const int operatorsBefore = operators_;
    lastParen_ = -1;
    ExprPtr target = postfixChain(-1);
    if (isOp(u"=")) {
        next();
        markAssigned(*target);
        auto value = expression();
        if (!isSet) {
            if (auto append = appendForm(target, value, at)) {
                block.push_back(std::move(append));
                finishStatement();
                return;
            }
        }
        auto stmt = node<AssignStmt>(at);
        stmt->target = std::move(target);
        stmt->value = std::move(value);
        stmt->isSet = isSet;
        block.push_back(std::move(stmt));
        finishStatement();
        return;
    }
    if (isSet)
        fail(cerr::ExpectedEquals);
    if (target->kind == ExprKind::Literal || target->kind == ExprKind::Me)
        fail(cerr::ExpectedStatement);
    auto stmt = node<CallStmt>(at);
    if (atStatementEnd()) {
        if (target->kind == ExprKind::Call) {
            // `f(x)` as a statement passes x as a parenthesised value.
            auto& call = static_cast<CallExpr&>(*target);
            if (call.args.size() > 1)
                throwCompileError(cerr::CannotUseParens, at.line, at.column);
            for (auto& arg : call.args) {
                if (arg) {
                    auto paren = node<ParenExpr>(at);
                    paren->inner = std::move(arg);
                    arg = std::move(paren);
                }
            }
        }
        markCallee(*target);
        stmt->call = std::move(target);
        block.push_back(std::move(stmt));
        finishStatement();
        return;
    }
    // Arguments without parentheses follow.  If the chain ended in a
    // parenthesised group, that group is the start of the first
    // argument: parse again, stopping before it.
    if (target->kind == ExprKind::Call && lastParen_ >= 0) {
        const int stop = lastParen_;
        target.reset();
        proc_->names.resize(namesBefore);
        operators_ = operatorsBefore;
        pos_ = start;
        target = postfixChain(stop);
    }
    auto call = node<CallExpr>(at);
    call->target = std::move(target);
    markCallee(*call->target);
    argumentList(call->args, false);
    if (!atStatementEnd())
        fail(cerr::ExpectedEndOfStatement);
    stmt->call = std::move(call);
    block.push_back(std::move(stmt));
    finishStatement();
}

// The name a call statement calls: `f` in `f`, `f x` and `f(x)`.
void Parser::markCallee(Expr& e)
{
    if (e.kind == ExprKind::Name)
        static_cast<NameExpr&>(e).usedAsCallee = true;
    else if (e.kind == ExprKind::Call) {
        auto& c = static_cast<CallExpr&>(e);
        if (c.target->kind == ExprKind::Name)
            static_cast<NameExpr&>(*c.target).usedAsCallee = true;
    }
}

// A plain name that an assignment stores to.
void Parser::markAssigned(Expr& e)
{
    if (e.kind == ExprKind::Name)
        static_cast<NameExpr&>(e).assigned = true;
}

// `s = s & a & b` where s is a plain name: an in-place append.
std::unique_ptr<AppendStmt> Parser::appendForm(ExprPtr& targetPtr, ExprPtr& value, const Token& at)
{
    Expr& target = *targetPtr;
    if (target.kind != ExprKind::Name || value->kind != ExprKind::Binary)
        return nullptr;
    std::vector<Expr*> chain;
    Expr* e = value.get();
    while (e->kind == ExprKind::Binary && static_cast<BinaryExpr*>(e)->op == Op::Concat) {
        chain.push_back(e);
        e = static_cast<BinaryExpr*>(e)->left.get();
    }
    if (chain.empty() || e->kind != ExprKind::Name ||
        !equalsIgnoreCase(static_cast<NameExpr*>(e)->name, static_cast<NameExpr&>(target).name))
        return nullptr;
    auto stmt = node<AppendStmt>(at);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        stmt->pieces.push_back(std::move(static_cast<BinaryExpr*>(*it)->right));
    // The leftmost `s` is the same variable as the target: drop it (and
    // its entry among the names to resolve).
    ExprPtr leftmost = std::move(static_cast<BinaryExpr*>(chain.back())->left);
    auto& names = proc_->names;
    names.erase(std::remove(names.begin(), names.end(), static_cast<NameExpr*>(leftmost.get())), names.end());
    stmt->target = std::move(targetPtr);
    value.reset();
    return stmt;
}

} // namespace quillet::script
