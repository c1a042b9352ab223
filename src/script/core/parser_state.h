// The parser's state while it builds the tree of one code unit (parser.h):
// the token cursor and its helpers here and in parser.cpp, declarations
// (parse_declarations.cpp), classes (parse_classes.cpp), statements
// (parse_statements.cpp) and expressions (parse_expressions.cpp).  A
// recursive descent: one function per grammar rule.
//
// Each parse function opens with the rule it reads.  Notation:
//   "Dim"        a keyword, in any letter case, not [bracketed]
//   NAME         a name: an identifier that is no keyword, a [bracketed]
//                one, or a word that is a keyword in one construct only
//                (isSoftKeyword)
//   IDENTIFIER   any identifier, keywords included
//   NUMBER, STRING, DATE   literals
//   EOS          a statement end: ':' or a line end (the lexer makes a run
//                of them one token); NEWLINE one that includes a line end
//   EOF          the end of the text
//   END          endStatement: an EOS, or EOF or "End" (which are not read:
//                a closing "End ..." needs no separator before it)
//   FINISH       finishStatement: END; inside a single-line If, an EOS,
//                "Else" or "End" after the statement, left to the If to read
//   [ x ] optional, { x } any number of times, ( a | b ) one of them.
#pragma once

#include "script/core/ast.h"
#include "script/core/compile_error.h"
#include "script/core/lexer.h"
#include "script/core/parser.h"
#include "script/stop_poll.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace quillet::script {

class Parser {
public:
    Parser(CodeUnit& unit, std::vector<Token> tokens);

    void program(ParseMode mode);

private:
    // Deeply nested source (parentheses, blocks) would exhaust the C++ stack of
    // this recursive-descent parser; past this depth it reports error 28.
    static constexpr int kMaxNesting = 400;
    // Operators, and links of member and index chains (`a.b.c`, `a(1)(2)`),
    // in one statement: a left-leaning chain of them is compiled, evaluated
    // and freed recursively, so an absurdly long one is refused as well.
    static constexpr int kMaxOperatorsPerStatement = 3000;

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
    // Where a simple statement may end: a statement end, the "End" of a
    // closing "End ..." (which needs no separator before it), and inside
    // a single-line If its Else.
    bool atStatementEnd() const
    {
        return atEnd() || isKw(Kw::End) || (singleLineIf_ > 0 && isKw(Kw::Else));
    }

    [[noreturn]] void fail(int number) const { throwCompileError(number, cur().line, cur().column); }

    // Words that are keywords only in one construct (`Step` after For,
    // `Preserve` after ReDim, ...) and otherwise ordinary names.
    static bool isSoftKeyword(Kw k)
    {
        return k == Kw::Get || k == Kw::Step || k == Kw::Default || k == Kw::Explicit || k == Kw::Preserve ||
               k == Kw::Resume || k == Kw::Error || k == Kw::Property;
    }
    static bool isNameToken(const Token& t)
    {
        return t.kind == Tok::Identifier && (t.bracketed || t.keyword == Kw::None || isSoftKeyword(t.keyword));
    }
    // A name: an identifier that is not a keyword (or a [bracketed] one).
    bool isName() const { return isNameToken(cur()); }
    // "Property" opens a declaration only before Get, Let or Set.
    bool atPropertyDeclaration() const
    {
        return isKw(Kw::Property) && (peekKw(1, Kw::Get) || peekKw(1, Kw::Let) || peekKw(1, Kw::Set));
    }

    // ---- the cursor's reading helpers (parser.cpp) ---------------------
    void expectKw(Kw k, int error);
    void skipEnds();
    void endStatement();
    Text name();

    // One level of nesting (a statement, an expression, parentheses, a
    // sign or Not) while it is being read: past kMaxNesting, error 28.
    struct DepthGuard {
        explicit DepthGuard(Parser& p) : p_(p)
        {
            if (++p_.depth_ > kMaxNesting)
                throwCompileError(vberr::OutOfStack, p_.cur().line, p_.cur().column);
        }
        ~DepthGuard() { --p_.depth_; }
        Parser& p_;
    };

    // ---- tree nodes ----------------------------------------------------
    template <typename T>
    std::unique_ptr<T> node(const Token& at)
    {
        auto n = std::make_unique<T>();
        n->line = at.line;
        n->column = at.column;
        return n;
    }
    std::unique_ptr<NameExpr> nameNode(const Token& at, Text text); // parser.cpp

    // ---- declarations, top level (parse_declarations.cpp) -------------
    bool declaration();
    void constants(bool isPublic);
    void declareConstant(const Token& at, const Text& name, Value value, bool isPublic);
    Value constantValue();
    void boundList(std::vector<ExprPtr>& bounds, bool mayBeEmpty);
    void variables(DimStmt& dim, bool isPublic);
    void params(Procedure& p);
    void procedure(bool isPublic, bool isDefault);

    // ---- classes (parse_classes.cpp) ------------------------------------
    void classDefinition();
    void classMember(ClassDef& cls);
    void fields(ClassDef& cls, bool isPublic);

    // ---- statements (parse_statements.cpp) ------------------------------
    void statement(Block& block);
    bool mayDeclare() const;
    void finishStatement();
    void redim(Block& block);
    void erase(Block& block);
    void blockUntil(Block& block, std::initializer_list<Kw> stops, int errorAtEof);
    void expectEnd(Kw what, int error);
    void ifStatement(Block& block);
    void lineStatements(Block& block);
    void selectStatement(Block& block);
    std::unique_ptr<NameExpr> loopVariable();
    void nextStatement();
    void forStatement(Block& block);
    void doStatement(Block& block);
    void whileStatement(Block& block);
    void withStatement(Block& block);
    void exitStatement(Block& block);
    void onError(Block& block);
    void callStatement(Block& block);
    void assignment(Block& block, bool isSet, const Token* keyword = nullptr);
    static void markCallee(Expr& e);
    static void markAssigned(Expr& e);
    std::unique_ptr<AppendStmt> appendForm(ExprPtr& targetPtr, ExprPtr& value, const Token& at);

    // ---- expressions (parse_expressions.cpp) ----------------------------
    std::unique_ptr<BinaryExpr> operatorNode(const Token& at);
    void countLink(const Token& at);
    ExprPtr expression();
    template <typename Next>
    ExprPtr binaryLevel(Next nextLevel, std::initializer_list<std::pair<Kw, Op>> ops);
    ExprPtr impExpr();
    ExprPtr eqvExpr();
    ExprPtr xorExpr();
    ExprPtr orExpr();
    ExprPtr andExpr();
    ExprPtr notExpr();
    Op comparisonOp() const;
    ExprPtr compareExpr();
    static bool isLiteral(const Expr& e);
    ExprPtr opLevel(ExprPtr (Parser::*nextLevel)(), std::initializer_list<std::pair<const char16_t*, Op>> ops,
                    Kw kw = Kw::None, Op kwOp = Op::Add);
    ExprPtr concatExpr();
    ExprPtr addExpr();
    ExprPtr modExpr();
    ExprPtr intDivExpr();
    ExprPtr mulExpr();
    ExprPtr unaryExpr();
    ExprPtr powExpr();
    ExprPtr primary();
    ExprPtr postfixChain(int stopAt);
    void argumentList(std::vector<ExprPtr>& args, bool inParens);

    CodeUnit& unit_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    ParseMode mode_ = ParseMode::Program;
    Procedure* proc_ = nullptr;
    ClassDef* class_ = nullptr; // the class being read, procedures or not
    std::vector<int> withSlots_;
    int singleLineIf_ = 0;
    // Loops around the statement being read in this procedure: Exit Do
    // needs a Do, Exit For a For or For Each (While...Wend counts as
    // neither).
    int doLoops_ = 0;
    int forLoops_ = 0;
    int depth_ = 0;
    int lastParen_ = -1;
    int operators_ = 0;
    StopPoll stopPoll_{1024}; // per statement: a huge text must not outlast a stop request
    std::vector<std::pair<Text, Value>> classConstants_; // of the class being parsed
};

} // namespace quillet::script
