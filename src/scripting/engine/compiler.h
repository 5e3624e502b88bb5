#pragma once
#include "scripting/engine/ast.h"
#include "scripting/engine/code.h"
#include "scripting/engine/lexer.h"
#include "scripting/engine/library.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kv::script {

struct TCompilerMessage {
  enum class TKind { Hint, Warning, Error };
  TKind Kind = TKind::Error;
  std::string Text;
  int Line = 0, Col = 0;
};

// Checks the shared syntax tree against the host's declarations and turns it
// into byte code. One object per compilation.
class TCompiler {
public:
  explicit TCompiler(std::shared_ptr<TScriptLibrary> library);
  // Null on error; the messages say why and where.
  std::shared_ptr<TCompiledCode> Compile(const TNode& program,
                                         std::vector<TCompilerMessage>& messages);

private:
  enum class TSymKind { Const, Type, Var, Proc, Host, Intrinsic };
  struct TSymbol {
    TSymKind Kind = TSymKind::Const;
    std::string Name;
    TType* Type = nullptr;
    TValue Value;
    int Level = 0;
    int Slot = 0;
    bool IsRef = false;
    bool IsForward = false;
    int Proc = -1;
    std::shared_ptr<TSignature> Sig;
    std::vector<const THostFunction*> Overloads;
    int Intrinsic = 0;
    bool Used = false;
    int Line = 0, Col = 0;
  };
  struct TLoop {
    std::vector<int> Breaks, Continues;
    int TryDepth = 0;
  };
  struct TProcCtx {
    int Index = 0;
    int Level = 0;
    TType* Result = nullptr;
    int ResultSlot = -1;
    int TryDepth = 0;
    std::vector<TLoop> Loops;
    std::vector<int> Exits;
  };
  struct TWith {
    TType* Type;
    int Slot;
    bool IsRef;
  };

  std::shared_ptr<TScriptLibrary> Lib;
  std::shared_ptr<TCompiledCode> Out;
  TTypePool* Pool = nullptr;
  std::vector<std::unordered_map<std::string, TSymbol>> Scopes;
  std::vector<TProcCtx> Ctx;
  std::vector<TWith> Withs;
  std::vector<TCompilerMessage>* Msgs = nullptr;
  int CurLine = 0, CurCol = 0;
  bool Probing = false;

  TType *TInt = nullptr, *TInt64 = nullptr, *TCard = nullptr, *TByte = nullptr, *TBool = nullptr,
        *TChar = nullptr, *TFloat = nullptr, *TStr = nullptr, *TNilT = nullptr, *TVoid = nullptr,
        *TSetByte = nullptr, *TConstArr = nullptr, *TAnyVal = nullptr, *TObjectT = nullptr;

  // emission (compiler.cpp)
  TProcCode& Code() { return Out->Procs[Ctx.back().Index]; }
  int Emit(TOp op, int a = 0, int b = 0, int c = 0, uint8_t w = 0);
  // Positions taken with Here() may be jump targets: nothing is fused across them.
  int Here() {
    LastHere = static_cast<int>(Code().Code.size());
    return LastHere;
  }
  int LastHere = -1;
  void JumpsToRet(TProcCode& p);
  bool AppendAssign(const TNode& n);
  void JumpIf(const TNode& n, bool when, std::vector<int>& jumps);
  TSymbol* DirectArray(const TNode& base);
  void PatchA(int at, int target) { Code().Code[at].A = target; }
  void PatchB(int at, int target) { Code().Code[at].B = target; }
  int AddConst(const TValue& v);
  int NewTemp(TType* t);
  [[noreturn]] void Fail(const std::string& text, const TNode& at) const;
  void Hint(TCompilerMessage::TKind kind, const std::string& text, int line, int col);
  uint8_t WrapCode(TType* t) const;

  // scopes and declarations (compiler.cpp)
  void Declare(const std::string& name, TSymbol sym, const TNode& at);
  TSymbol* Find(const std::string& name);
  void DeclareBuiltins();
  void DeclareLibrary();
  void Declarations(const TNode& block);
  TType* ResolveType(const TNode& t, const std::string& name = {});
  void ConstDecl(const TNode& n);
  void VarDecl(const TNode& n);
  void ProcDecl(const TNode& n);
  void ProcBody(TSymbol& sym, const TNode& decl);
  std::shared_ptr<TSignature> MakeSig(const TNode& heading);
  TValue DefaultValue(TType* t);
  TValue EvalConst(const TNode& n, TType** type);
  void CheckUnused(const std::unordered_map<std::string, TSymbol>& scope);

  // statements (compilestmt.cpp)
  void Stmt(const TNode& n);
  void StmtList(const TNode& n);
  void AssignStmt(const TNode& n);
  void IfStmt(const TNode& n);
  void WhileStmt(const TNode& n);
  void RepeatStmt(const TNode& n);
  void ForStmt(const TNode& n);
  void CaseStmt(const TNode& n);
  void TryExcept(const TNode& n);
  void TryFinally(const TNode& n);
  void RaiseStmt(const TNode& n);
  void WithStmt(const TNode& n);
  void JumpOut(int blocks, std::vector<int>& patches);
  void ExitStmt(const TNode& n);

  // expressions (compileexpr.cpp)
  TType* Expr(const TNode& n, TType* expected = nullptr);
  TType* ExprTo(const TNode& n, TType* target);
  void Coerce(TType* from, TType* to, const TNode& at);
  bool Assignable(TType* from, TType* to) const;
  TType* Binary(const TNode& n);
  TType* Logical(const TNode& n, bool isAnd);
  TType* Unary(const TNode& n);
  TType* SetCons(const TNode& n, TType* expected);
  TType* Load(const TNode& n, bool wantValue = true);
  TType* LoadName(const TNode& n, bool wantValue);
  TType* LoadMember(const TNode& n, bool wantValue, const THostProperty** indexed = nullptr);
  TType* LoadIndex(const TNode& n);
  TType* Address(const TNode& n);
  void Store(const TNode& target, TType* valueType);
  TType* TargetType(const TNode& target);
  TType* Probe(const std::function<TType*()>& f);
  TType* TypeOfNode(const TNode& n);
  std::unordered_map<const TNode*, TType*> TypeCache;
  TType* ClassType(const TClassDef* c);
  void LoadVar(const TSymbol& s);
  void StoreVar(const TSymbol& s);
  void AddressVar(const TSymbol& s);
  bool WithLookup(const std::string& name, int& withIndex, int& field, const THostProperty** prop,
                  std::vector<const THostFunction*>* methods);
  void LoadWithBase(const TWith& w);
  TType* ElemType(TType* container, const TNode& at);
  const TClassDef* ClassOfNode(const TNode& n);

  // calls (compilecall.cpp)
  TType* CallNode(const TNode& callee, const std::vector<const TNode*>& args, const TNode& at,
                  bool wantValue);
  TType* CallScript(const TSymbol& s, const std::vector<const TNode*>& args, const TNode& at,
                    bool wantValue);
  TType* CallHost(const std::vector<const THostFunction*>& overloads,
                  const std::vector<const TNode*>& args, const TNode& at, bool wantValue, TOp op,
                  const TClassDef* cls = nullptr);
  void PushArgs(const TSignature& sig, const std::vector<const TNode*>& args, const TNode& at);
  int Score(const TSignature& sig, const std::vector<const TNode*>& args);
  TType* TypeCast(TType* to, const std::vector<const TNode*>& args, const TNode& at);
  TType* Intrinsic(int which, const std::vector<const TNode*>& args, const TNode& at,
                   bool wantValue);
  void WriteArgs(const std::vector<const TNode*>& args, bool newline, const TNode& at);
  TType* PropertyType(const THostProperty& p);
  std::shared_ptr<TSignature> HostSig(const THostFunction& f);
  std::unordered_map<const THostFunction*, std::shared_ptr<TSignature>> HostSigs;
  std::unordered_map<const THostProperty*, std::pair<TType*, TType*>> PropTypes;
  int HostFuncIndex(const THostFunction* f);
  int HostPropIndex(const THostProperty* p);
  int ClassIndex(const TClassDef* c);
};

} // namespace kv::script
