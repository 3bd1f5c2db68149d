// The interpreter: one object that holds all run-time state of a script run (or of
// one user-function call), its statement loop and the dispatch of each statement on
// its first token.
#pragma once

#include "ExprValue.h"
#include "FunProcessor.h"
#include "OraProc.h"
#include "Out.h"
#include "Parser.h"
#include "ThreadManager.h"
#include "VarProcessor.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace Transl {

class Interpreter : public Parser,
                    public OraProc,
                    public Out,
                    public VarProcessor,
                    public FunProcessor,
                    public ThreadManager {
public:
    Interpreter();
    ~Interpreter() override;

    // Opens the script for reading and the output and error destinations for
    // writing ("con" is the console), in that order. Throws std::system_error naming
    // the first file that cannot be opened.
    void openFiles(const std::string& source, const std::string& output,
                   const std::string& error);
    // Writes output and diagnostics to the destinations of another interpreter
    // (a user-function call writes where its caller does).
    void shareStreams(const Interpreter& other);
    // Keeps the program's arguments once the command line was accepted.
    void setArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }
    const std::vector<std::string>& arguments() const { return arguments_; }

    // Runs statements until the end of the input.
    void run();

    // Runs a function whose slots the caller has filled (a built-in, or a script
    // function's body in an interpreter of its own).
    void call(const std::string& name) override;

    // The value stack the expressions of this interpreter share.
    std::vector<ExprValue>& valueStack() { return valueStack_; }

private:
    void forgetPassedStatements();
    void executeStatement();
    void executeKeyword(Keyword keyword);

    // Statement handlers, one per statement form.
    void declarationStatement();
    void nameStatement();
    void printStatement();
    void dprintStatement();
    void ifStatement();
    void elseStatement();
    void endifStatement();
    void dowhileStatement();
    void ewStatement();
    void timeoutStatement();
    void connectStatement();
    void disconnectStatement();
    void executeSqlStatement();
    void functionDefinition();

    // Statement parts.
    void printValues(bool labelled);
    bool readCondition();
    Keyword skipBlock(Keyword open, Keyword close, Keyword alsoStop, ErrorCode atEnd);
    Keyword skipBranch();
    void skipLoopBody();

    std::deque<std::int32_t> loopStack;  // token positions of the running DOWHILEs
    bool inIf = false;                   // set by IF, cleared by ELSE and ENDIF
    bool returningToLoop_ = false;       // EW went back; its DOWHILE comes next
    std::vector<std::string> arguments_; // the program's command line
    std::vector<ExprValue> valueStack_;  // see valueStack
};

// The interpreter that runs now: the main one, or that of a running user function.
// Diagnostics and internal-failure reports go to its error stream.
extern Interpreter* currentInterpreter;

} // namespace Transl
