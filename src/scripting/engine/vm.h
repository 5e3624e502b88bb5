#pragma once
#include "scripting/engine/code.h"
#include "scripting/engine/value.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv::script {

struct TRuntimeError {
  std::string Text;
  int Proc = -1; // procedure number; 0 is the main body
  int Pos = -1;  // instruction index in that procedure
  int Line = 0, Col = 0;
};

class TVm;

// A script procedure kept by the host (an event handler); it keeps the code
// and the globals of the run that made it alive.
class TScriptCallback {
public:
  TScriptCallback() = default;
  TScriptCallback(std::shared_ptr<TVm> vm, int proc) : Vm(std::move(vm)), Proc(proc) {}
  bool Assigned() const { return Vm && Proc >= 0; }
  // False when the procedure ended with a run-time error (see Error()).
  bool Invoke(const std::vector<TValue>& args, TValue* result = nullptr) const;
  const TRuntimeError& Error() const;
  int ProcIndex() const { return Proc; }
  TVm* Owner() const { return Vm.get(); }

private:
  std::shared_ptr<TVm> Vm;
  int Proc = -1;
};

// Executes compiled code. Globals live as long as the executor.
class TVm : public std::enable_shared_from_this<TVm> {
public:
  explicit TVm(std::shared_ptr<const TCompiledCode> code);
  ~TVm();
  TVm(const TVm&) = delete;
  TVm& operator=(const TVm&) = delete;

  bool RunMain();
  bool Call(int proc, const std::vector<TValue>& args, TValue* result = nullptr);
  void RequestStop() { StopFlag = true; }
  bool StopRequested() const { return StopFlag; }
  bool Running() const { return RunDepth > 0; }
  const TRuntimeError& LastError() const { return Error; }
  TValue* Global(const std::string& name);
  const TCompiledCode& Code() const { return *CodeRef; }
  std::shared_ptr<const TCompiledCode> CodePtr() const { return CodeRef; }
  TScriptCallback MakeCallback(const TValue& procValue);
  // An Exception object with this message, for hosts that raise script exceptions.
  TValue NewException(const std::string& message) const;

  std::function<void(int line)> LineHook;
  bool HasLineHook = false; // set with LineHook: checked before each line
  std::function<void(const std::string&)> Output;

  static constexpr size_t kStackSlots = 1 << 20;
  static constexpr size_t kMaxFrames = 100000;
  static constexpr int kMaxRunDepth = 200; // runs nested through host functions
  static constexpr size_t kMaxStringLength = 64u << 20;
  static constexpr size_t kMaxArrayLength = 32u << 20;

private:
  struct TFrame {
    const TProcCode* Proc;
    const TInstr* Ip;
    TValue* Bp;
    int Parent;
  };
  enum TTryKind { tkExcept = 0, tkFinally = 1, tkExceptState = 2, tkFinallyState = 3 };
  struct TTryEntry {
    int Kind = 0;
    size_t Frame = 0;
    TValue* Sp = nullptr;
    int HandlerPc = 0;
    int RunDepth = 0;
    bool HasExc = false;
    TValue Exc;
    std::string Text;
    TRuntimeError Pos;
    int LeaveBlocks = -1;
    int LeaveTarget = 0;
  };
  struct TRaise {
    TValue Obj;
    std::string Text;
    TRuntimeError Pos;
    bool HasPos = false;
  };
  struct TStop {};
  struct THalt {};

  std::shared_ptr<const TCompiledCode> CodeRef;
  const TCompiledCode* C;
  std::vector<TValue> Globals;
  TValue* Stack = nullptr;
  TValue* Sp = nullptr;
  TValue* StackEnd = nullptr;
  std::vector<TFrame> Frames;
  std::vector<TTryEntry> Tries;
  int RunDepth = 0;
  std::atomic<bool> StopFlag{false};
  TRuntimeError Error;
  const TClassDef* ExceptionClass = nullptr;

  bool RunTop(int proc, const std::vector<TValue>& args, TValue* result);
  void PushFrame(int proc, int parent);
  void Exec(size_t base);
  void Loop(size_t base);
  bool Unwind(TRaise& r);
  void Cleanup(size_t base, TValue* sp);
  TRuntimeError CurrentPos() const;
  TValue MakeExceptionObject(const std::string& text) const;
  std::string MessageOf(const TValue& obj) const;
  TTryEntry* CurrentExceptState();
  bool Leave(int blocks, int target, const TInstr*& ip, TFrame*& fr);
  void WriteValue(const TInstr& in);
};

} // namespace kv::script
