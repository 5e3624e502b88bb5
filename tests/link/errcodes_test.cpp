#include <gtest/gtest.h>

#include "link/errcodes.h"

namespace {

struct TStatusCase {
  int Status;
  TTaskResult Result;
  const char* Text;
};

TEST(ErrCodes, StatusBytesMapToResultsAndTexts) {
  const TStatusCase cases[] = {
      {0, trSuccess, ""},
      {1, trDevTimeout, "Device not Respond"},
      {2, trDevFrameError, "Frame Error"},
      {7, trEchoError, "Device not Respond"},
      {9, trNoDetectedModules, "No Programmers Connected to the USB Module"},
      {10, trDevBKGDHighError, "BKGD High Error"}, // 10 and 11 cross over
      {11, trDevBKGDLowError, "BKGD Low Error"},
      {22, trACKError, "ACK Error"},
      {40, trSCIPinHighError, "SCIRxD Low Error"},
      {41, trSCIPinLowError, "SCIRxD Error"},
      {42, trDevError, "General Error"},
      {255, trDevError, "General Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Status);
    EXPECT_EQ(StatusToResult(static_cast<std::uint8_t>(c.Status)), c.Result);
    EXPECT_STREQ(TaskResultText(c.Result), c.Text);
  }
}

TEST(ErrCodes, EveryMappedStatusIsListedOnceAndRoundTrips) {
  int mapped = 0;
  for (int r = 0; r < TaskResultCount; ++r) {
    const int status = ResultToStatus(static_cast<TTaskResult>(r));
    if (status < 0) continue;
    ++mapped;
    EXPECT_EQ(StatusToResult(static_cast<std::uint8_t>(status)), r)
        << TaskResultName(static_cast<TTaskResult>(r));
  }
  EXPECT_EQ(mapped, 42); // statuses 0..41
}

TEST(ErrCodes, ResultsWithoutMessage) {
  for (TTaskResult r : {trSuccess, trUSBTimeout, trUSBError, trHCSProgramError, trProgramCancel,
                        trLoadFirmwareError, trEraseCancel})
    EXPECT_STREQ(TaskResultText(r), "") << TaskResultName(r);
}

TEST(ErrCodes, OrdinalsAndNames) {
  EXPECT_EQ(trBootError, 52);
  EXPECT_EQ(TaskResultCount, 53);
  EXPECT_STREQ(TaskResultName(trBootError), "trBootError");
  EXPECT_EQ(tmTMS2, 13);
  EXPECT_STREQ(ModuleName(tmEEPROM_MIS), "tmEEPROM_MIS");
  EXPECT_EQ(iosError, 2);
  EXPECT_EQ(iocWrite, 1);
}

} // namespace
