#include "script/core/parser.h"

#include "script/core/compile_error.h"

#include <algorithm>

namespace quillet::script {
namespace {

// Deeply nested source (parentheses, blocks) would exhaust the C++ stack of
// this recursive-descent parser; past this depth it reports error 28.
constexpr int kMaxNesting = 400;
// Operators in one statement: a left-leaning chain of them is evaluated
// (and freed) recursively, so an absurdly long one is refused as well.
constexpr int kMaxOperatorsPerStatement = 3000;

class Parser {
public:
    Parser(CodeUnit& unit, std::vector<Token> tokens) : unit_(unit), toks_(std::move(tokens))
    {
        unit_.topLevel = std::make_unique<Procedure>();
        unit_.topLevel->kind = ProcKind::TopLevel;
        unit_.topLevel->unit = &unit_;
        proc_ = unit_.topLevel.get();
    }

    void program(ParseMode mode)
    {
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
            if (mode == ParseMode::Program && declaration())
                continue;
            statement(unit_.topLevel->body);
            skipEnds();
        }
    }

private:
    // ---- token helpers ----------------------------------------------
    const Token& cur() const { return toks_[pos_]; }
    const Token& peek(size_t ahead = 1) const
    {
        return toks_[std::min(pos_ + ahead, toks_.size() - 1)];
    }
    void next()
    {
        if (pos_ + 1 < toks_.size())
            ++pos_;
    }
    bool isKw(Kw k) const { return cur().kind == Tok::Identifier && !cur().bracketed && cur().keyword == k; }
    bool peekKw(size_t ahead, Kw k) const
    {
        const Token& t = peek(ahead);
        return t.kind == Tok::Identifier && !t.bracketed && t.keyword == k;
    }
    bool isOp(const char16_t* op) const { return cur().kind == Tok::Operator && cur().text == op; }
    bool atEnd() const { return cur().kind == Tok::EndOfStatement || cur().kind == Tok::EndOfFile; }
    // End of a statement inside a single-line If also comes at its Else.
    bool atStatementEnd() const { return atEnd() || (singleLineIf_ > 0 && isKw(Kw::Else)); }

    [[noreturn]] void fail(int number) const { throwCompileError(number, cur().line, cur().column); }

    void expectKw(Kw k, int error)
    {
        if (!isKw(k))
            fail(error);
        next();
    }
    void skipEnds()
    {
        while (cur().kind == Tok::EndOfStatement)
            next();
    }
    void endStatement()
    {
        if (cur().kind == Tok::EndOfFile)
            return;
        if (cur().kind != Tok::EndOfStatement)
            fail(cerr::ExpectedEndOfStatement);
        next();
    }
    // Words that are keywords only in one construct (`Step` after For,
    // `Preserve` after ReDim, ...) and otherwise ordinary names.
    static bool isSoftKeyword(Kw k)
    {
        return k == Kw::Get || k == Kw::Step || k == Kw::Default || k == Kw::Explicit || k == Kw::Preserve ||
               k == Kw::Resume || k == Kw::Error;
    }
    static bool isNameToken(const Token& t)
    {
        return t.kind == Tok::Identifier && (t.bracketed || t.keyword == Kw::None || isSoftKeyword(t.keyword));
    }
    // A name: an identifier that is not a keyword (or a [bracketed] one).
    bool isName() const { return isNameToken(cur()); }
    Text name()
    {
        if (!isName())
            fail(cerr::ExpectedIdentifier);
        Text n = cur().text;
        next();
        return n;
    }

    struct DepthGuard {
        explicit DepthGuard(Parser& p) : p_(p)
        {
            if (++p_.depth_ > kMaxNesting)
                throwCompileError(vberr::OutOfStack, p_.cur().line, p_.cur().column);
        }
        ~DepthGuard() { --p_.depth_; }
        Parser& p_;
    };

    template <typename T>
    std::unique_ptr<T> node(const Token& at)
    {
        auto n = std::make_unique<T>();
        n->line = at.line;
        n->column = at.column;
        return n;
    }

    std::unique_ptr<BinaryExpr> operatorNode(const Token& at)
    {
        if (++operators_ > kMaxOperatorsPerStatement)
            throwCompileError(vberr::OutOfStack, at.line, at.column);
        return node<BinaryExpr>(at);
    }

    std::unique_ptr<NameExpr> nameNode(const Token& at, Text text)
    {
        auto n = node<NameExpr>(at);
        n->name = std::move(text);
        proc_->names.push_back(n.get());
        return n;
    }

    // ---- declarations (top level and class bodies) --------------------
    // Returns true when it consumed a declaration.
    bool declaration()
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
        if (isKw(Kw::Sub) || isKw(Kw::Function) || isKw(Kw::Property)) {
            procedure(isPublic, isDefault);
            return true;
        }
        if (isDefault)
            fail(cerr::Syntax);
        if (isKw(Kw::Class)) {
            if (hasAccess)
                fail(cerr::Syntax);
            classDefinition();
            return true;
        }
        if (isKw(Kw::Const)) {
            constants(isPublic);
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

    void constants(bool isPublic)
    {
        next(); // Const
        do {
            const Token at = cur();
            Text n = name();
            if (!isOp(u"="))
                fail(cerr::ExpectedEquals);
            next();
            Value v = constantValue();
            const Text lower = lowerCase(n);
            if (proc_->kind == ProcKind::TopLevel && !inClass_) {
                unit_.globals.push_back({n, isPublic, true, v, at.line, at.column});
            } else {
                if (proc_->locals.count(lower))
                    throwCompileError(cerr::NameRedefined, at.line, at.column);
                proc_->locals[lower] = LocalName{-1, true, v};
            }
            if (cur().kind != Tok::Comma)
                break;
            next();
        } while (true);
        endStatement();
        skipEnds();
    }

    // A Const's value: a literal, optionally negated, or an earlier constant.
    Value constantValue()
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
            if (local != proc_->locals.end() && local->second.isConstant) {
                v = local->second.constant;
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

    // The bounds of an array in Dim or ReDim, "(" expression {"," expression}
    // ")", from the opening parenthesis through the closing one.  Only Dim
    // may leave the list empty: `Dim a()` declares a dynamic array.
    void boundList(std::vector<ExprPtr>& bounds, bool mayBeEmpty)
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

    // Names after Dim/Public/Private (outside procedures and classes: globals).
    void variables(DimStmt& dim, bool isPublic)
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

    void params(Procedure& p)
    {
        if (cur().kind != Tok::LParen)
            return;
        next();
        if (cur().kind != Tok::RParen) {
            do {
                Param param;
                if (isKw(Kw::ByVal)) {
                    param.byVal = true;
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

    void procedure(bool isPublic, bool isDefault)
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
        endStatement();
        skipEnds();

        Procedure* saved = proc_;
        proc_ = p.get();
        auto savedWith = std::move(withSlots_);
        withSlots_.clear();
        loopDepth_ = 0;
        while (!(isKw(Kw::End) && peekKw(1, endKw))) {
            if (cur().kind == Tok::EndOfFile || isKw(Kw::End) || isKw(Kw::Sub) || isKw(Kw::Function) ||
                isKw(Kw::Class) || (isKw(Kw::Property) && !peekKw(1, Kw::Get)))
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
        if (class_)
            class_->procedures.push_back(std::move(p));
        else
            unit_.procedures.push_back(std::move(p));
    }

    void classDefinition()
    {
        if (class_)
            fail(cerr::Syntax);
        next(); // Class
        auto cls = std::make_unique<ClassDef>();
        cls->name = name();
        endStatement();
        skipEnds();
        class_ = cls.get();
        inClass_ = true;
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
        inClass_ = false;
        unit_.classes.push_back(std::move(cls));
    }

    void classMember(ClassDef& cls)
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
        if (isKw(Kw::Sub) || isKw(Kw::Function) || isKw(Kw::Property)) {
            procedure(isPublic, isDefault);
            return;
        }
        if (isKw(Kw::Const)) {
            next();
            do {
                Text n = name();
                if (!isOp(u"="))
                    fail(cerr::ExpectedEquals);
                next();
                Value v = constantValue();
                classConstants_.push_back({lowerCase(n), v});
                if (cur().kind != Tok::Comma)
                    break;
                next();
            } while (true);
            endStatement();
            return;
        }
        if (!hasAccess || isDefault)
            fail(cerr::ExpectedStatement);
        fields(cls, isPublic);
    }

    void fields(ClassDef& cls, bool isPublic)
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


    // ---- statements ----------------------------------------------------
    void statement(Block& block)
    {
        DepthGuard guard(*this);
        operators_ = 0;
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
                if (proc_->kind == ProcKind::TopLevel)
                    fail(cerr::Syntax);
                constantsInProcedure();
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
            case Kw::Sub: case Kw::Function: case Kw::Class: case Kw::Property: case Kw::Public:
            case Kw::Private:
                fail(cerr::Syntax);
            case Kw::None: break;
            case Kw::Get: case Kw::Step: case Kw::Default: case Kw::Explicit: case Kw::Preserve:
            case Kw::Resume: case Kw::Error:
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

    void constantsInProcedure()
    {
        // Same as top-level constants but local to the procedure.
        next();
        do {
            const Token at = cur();
            Text n = name();
            if (!isOp(u"="))
                fail(cerr::ExpectedEquals);
            next();
            Value v = constantValue();
            const Text lower = lowerCase(n);
            if (proc_->locals.count(lower))
                throwCompileError(cerr::NameRedefined, at.line, at.column);
            proc_->locals[lower] = LocalName{-1, true, v};
            if (cur().kind != Tok::Comma)
                break;
            next();
        } while (true);
        finishStatement();
    }

    // Ends a simple statement: a statement end, or the Else of a single-line If.
    void finishStatement()
    {
        if (singleLineIf_ > 0) {
            // The single-line If consumes its own separators.
            if (isKw(Kw::Else) || atEnd())
                return;
            fail(cerr::ExpectedEndOfStatement);
        }
        endStatement();
    }

    void redim(Block& block)
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
            stmt->items.push_back(std::move(item));
            if (cur().kind != Tok::Comma)
                break;
            next();
        } while (true);
        block.push_back(std::move(stmt));
        finishStatement();
    }

    void erase(Block& block)
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

    // Statements up to one of the given keywords (not consumed).
    void blockUntil(Block& block, std::initializer_list<Kw> stops, int errorAtEof)
    {
        skipEnds();
        while (true) {
            if (cur().kind == Tok::EndOfFile)
                fail(errorAtEof);
            for (Kw k : stops) {
                if (isKw(k)) {
                    if (k != Kw::End)
                        return;
                    return;
                }
            }
            statement(block);
            skipEnds();
        }
    }

    void expectEnd(Kw what, int error)
    {
        if (!isKw(Kw::End))
            fail(error);
        next();
        if (!isKw(what))
            fail(error);
        next();
        finishStatement();
    }

    void ifStatement(Block& block)
    {
        auto stmt = node<IfStmt>(cur());
        next();
        ExprPtr cond = expression();
        expectKw(Kw::Then, cerr::ExpectedThen);
        if (!(cur().kind == Tok::EndOfStatement && cur().text == u"\n") && cur().kind != Tok::EndOfFile) {
            // Single-line If: statements up to the end of the line.
            if (cur().kind == Tok::EndOfStatement)
                next();
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
                // Tolerate "If x Then y End If" on one line? No: that is
                // not VBScript; report it.
                fail(cerr::ExpectedEndOfStatement);
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

    // The statements of a single-line If branch, separated by ':'.
    void lineStatements(Block& block)
    {
        while (true) {
            if (atEnd() && cur().text == u"\n")
                return;
            if (cur().kind == Tok::EndOfFile || isKw(Kw::Else))
                return;
            if (cur().kind == Tok::EndOfStatement) {
                next();
                continue;
            }
            statement(block);
        }
    }

    void selectStatement(Block& block)
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
                    if (item.op == Op::Is)
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
            else if (cur().kind != Tok::EndOfFile)
                fail(cerr::ExpectedEndOfStatement);
            Block body;
            blockUntil(body, {Kw::Case, Kw::End}, cerr::ExpectedEnd);
            stmt->cases.emplace_back(std::move(items), std::move(body));
        }
        if (!isKw(Kw::End))
            fail(cerr::ExpectedEnd);
        block.push_back(std::move(stmt));
        expectEnd(Kw::Select, cerr::ExpectedSelect);
    }

    std::unique_ptr<NameExpr> loopVariable()
    {
        const Token at = cur();
        if (!isName())
            fail(cerr::InvalidForVariable);
        auto n = nameNode(at, name());
        n->assigned = true;
        return n;
    }

    void nextStatement()
    {
        if (!isKw(Kw::Next))
            fail(cerr::ExpectedNext);
        next();
        if (isName())
            next();
        finishStatement();
    }

    void forStatement(Block& block)
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
            ++loopDepth_;
            blockUntil(stmt->body, {Kw::Next}, cerr::ExpectedNext);
            --loopDepth_;
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
        ++loopDepth_;
        blockUntil(stmt->body, {Kw::Next}, cerr::ExpectedNext);
        --loopDepth_;
        block.push_back(std::move(stmt));
        nextStatement();
    }

    void doStatement(Block& block)
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
        ++loopDepth_;
        blockUntil(stmt->body, {Kw::Loop}, cerr::ExpectedLoop);
        --loopDepth_;
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

    void whileStatement(Block& block)
    {
        auto stmt = node<DoStmt>(cur());
        next();
        stmt->condition = expression();
        endStatement();
        ++loopDepth_;
        blockUntil(stmt->body, {Kw::Wend}, cerr::ExpectedWend);
        --loopDepth_;
        next();
        block.push_back(std::move(stmt));
        finishStatement();
    }

    void withStatement(Block& block)
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

    void exitStatement(Block& block)
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
        if ((stmt->what == ExitKind::Do || stmt->what == ExitKind::For) && loopDepth_ == 0)
            fail(cerr::InvalidExit);
        next();
        block.push_back(std::move(stmt));
        finishStatement();
    }

    void onError(Block& block)
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

    void callStatement(Block& block)
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

    // `target = value`, `Set target = value`, or a call statement
    // `name args` / `obj.Method args` / `name(arg)`.
    void assignment(Block& block, bool isSet, const Token* keyword = nullptr)
    {
        const Token at = keyword ? *keyword : cur();
        const size_t start = pos_;
        const size_t namesBefore = proc_->names.size();
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

    static void markCallee(Expr& e)
    {
        if (e.kind == ExprKind::Name)
            static_cast<NameExpr&>(e).usedAsCallee = true;
        else if (e.kind == ExprKind::Call) {
            auto& c = static_cast<CallExpr&>(e);
            if (c.target->kind == ExprKind::Name)
                static_cast<NameExpr&>(*c.target).usedAsCallee = true;
        }
    }

    static void markAssigned(Expr& e)
    {
        if (e.kind == ExprKind::Name)
            static_cast<NameExpr&>(e).assigned = true;
    }

    // `s = s & a & b` where s is a plain name: an in-place append.
    std::unique_ptr<AppendStmt> appendForm(ExprPtr& targetPtr, ExprPtr& value, const Token& at)
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

    // ---- expressions ----------------------------------------------------
    ExprPtr expression() { return impExpr(); }

    template <typename Next>
    ExprPtr binaryLevel(Next nextLevel, std::initializer_list<std::pair<Kw, Op>> ops)
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

    ExprPtr impExpr()
    {
        DepthGuard guard(*this);
        return binaryLevel(&Parser::eqvExpr, {{Kw::Imp, Op::Imp}});
    }
    ExprPtr eqvExpr() { return binaryLevel(&Parser::xorExpr, {{Kw::Eqv, Op::Eqv}}); }
    ExprPtr xorExpr() { return binaryLevel(&Parser::orExpr, {{Kw::Xor, Op::Xor}}); }
    ExprPtr orExpr() { return binaryLevel(&Parser::andExpr, {{Kw::Or, Op::Or}}); }
    ExprPtr andExpr() { return binaryLevel(&Parser::notExpr, {{Kw::And, Op::And}}); }

    ExprPtr notExpr()
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

    // The comparison operator at the current token, or Op::Add when none.
    Op comparisonOp() const
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

    ExprPtr compareExpr()
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

    static bool isLiteral(const Expr& e)
    {
        if (e.kind == ExprKind::Literal)
            return true;
        if (e.kind == ExprKind::Unary)
            return isLiteral(*static_cast<const UnaryExpr&>(e).operand);
        if (e.kind == ExprKind::Paren)
            return isLiteral(*static_cast<const ParenExpr&>(e).inner);
        return false;
    }

    ExprPtr opLevel(ExprPtr (Parser::*nextLevel)(), std::initializer_list<std::pair<const char16_t*, Op>> ops,
                    Kw kw = Kw::None, Op kwOp = Op::Add)
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

    ExprPtr concatExpr() { return opLevel(&Parser::addExpr, {{u"&", Op::Concat}}); }
    ExprPtr addExpr() { return opLevel(&Parser::modExpr, {{u"+", Op::Add}, {u"-", Op::Sub}}); }
    ExprPtr modExpr() { return opLevel(&Parser::intDivExpr, {}, Kw::Mod, Op::Mod); }
    ExprPtr intDivExpr() { return opLevel(&Parser::mulExpr, {{u"\\", Op::IntDiv}}); }
    ExprPtr mulExpr() { return opLevel(&Parser::unaryExpr, {{u"*", Op::Mul}, {u"/", Op::Div}}); }

    ExprPtr unaryExpr()
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
        return powExpr();
    }

    ExprPtr powExpr()
    {
        ExprPtr left = postfixChain(-1);
        while (isOp(u"^")) {
            const Token at = cur();
            next();
            auto b = operatorNode(at);
            b->op = Op::Pow;
            b->left = std::move(left);
            if (isOp(u"-") || isOp(u"+")) {
                DepthGuard guard(*this);
                const Token sign = cur();
                const bool neg = isOp(u"-");
                next();
                auto u = node<UnaryExpr>(sign);
                u->op = neg ? Op::Neg : Op::Plus;
                u->operand = postfixChain(-1);
                b->right = std::move(u);
            } else {
                b->right = postfixChain(-1);
            }
            left = std::move(b);
        }
        return left;
    }

    ExprPtr primary()
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
            if (withSlots_.empty())
                fail(cerr::Syntax);
            auto m = node<MemberExpr>(t);
            next();
            if (cur().kind != Tok::Identifier)
                fail(cerr::ExpectedIdentifier);
            m->name = cur().text;
            m->withSlot = withSlots_.back();
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
                if (!class_)
                    fail(cerr::InvalidUseOfMe);
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

    // A primary followed by `.member` and `(arguments)` parts.  Stops before
    // the token at `stopAt` (used to back off a statement's first argument).
    ExprPtr postfixChain(int stopAt)
    {
        ExprPtr e = primary();
        while (static_cast<int>(pos_) != stopAt) {
            const Token& t = cur();
            if (t.kind == Tok::LParen) {
                lastParen_ = static_cast<int>(pos_);
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

    // Comma-separated arguments, any of which may be omitted.
    void argumentList(std::vector<ExprPtr>& args, bool inParens)
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

    CodeUnit& unit_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    Procedure* proc_ = nullptr;
    ClassDef* class_ = nullptr;
    bool inClass_ = false;
    std::vector<int> withSlots_;
    int singleLineIf_ = 0;
    int loopDepth_ = 0;
    int depth_ = 0;
    int lastParen_ = -1;
    int operators_ = 0;
    std::vector<std::pair<Text, Value>> classConstants_; // of the class being parsed
};

} // namespace

void parseUnit(CodeUnit& unit, ParseMode mode)
{
    Parser parser(unit, tokenize(unit.source));
    parser.program(mode);
}

} // namespace quillet::script
