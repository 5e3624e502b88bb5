#pragma once

namespace kv::script {

// Routines the code generator compiles inline (their argument types vary).
enum TIntrinsic : int {
  inWrite = 1,
  inWriteLn,
  inInc,
  inDec,
  inHigh,
  inLow,
  inLength,
  inSetLength,
  inOrd,
  inChr,
  inSucc,
  inPred,
  inInclude,
  inExclude,
  inAssigned,
  inOdd,
  inSqr,
  inAbs,
  inHalt
};

} // namespace kv::script
