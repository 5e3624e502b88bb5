#include <gtest/gtest.h>

#include <stdexcept>

#include "devices/taskexec.h"
#include "support/recorderservices.h"

namespace {

class TaskRunner : public ::testing::Test {
protected:
  void SetUp() override {
    Form.ModuleLoader = [this](TModule m) {
      Loaded.push_back(m);
      return LoadResult;
    };
    Form.SafeState = [this] { ++SafeStates; };
  }

  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  TTaskForm Form;
  std::vector<TModule> Loaded;
  TTaskResult LoadResult = trSuccess;
  int SafeStates = 0;
};

struct TCase {
  const char* Name;
  TE2Operation Op;
  bool Confirm;     // the ProgramConfirmation option
  TAnswer Answer;   // the answer to a question, if one is asked
  int VerifyErrors; // mismatches the task reports
  bool Cancel;      // the user presses Cancel during the task
  int RangeStart;
  TTaskResult Returns; // what the task returns
  // expected
  TTaskResult Result;
  const char* Question; // nullptr: none asked
  const char* Status;   // final status line, nullptr: no dialog
  const char* Line;     // result line, nullptr: none
};

const TCase Cases[] = {
    {"read ok", oprRead, true, TAnswer::Yes, 0, false, 0, trSuccess, trSuccess, nullptr,
     " Reading... Success", "Reading: Success  Device: 24C02 Range: 0 - FF"},
    {"program refused", oprProgram, true, TAnswer::No, 0, false, 0, trSuccess, trProgramCancel,
     "Program?", nullptr, nullptr},
    {"erase refused", oprErase, true, TAnswer::Cancel, 0, false, 0, trSuccess, trEraseCancel,
     "Erase?", nullptr, nullptr},
    {"program confirmed", oprProgram, true, TAnswer::Yes, 0, false, 0, trSuccess, trSuccess,
     "Program?", " Programming... Success", "Programming: Success  Device: 24C02 Range: 0 - FF"},
    {"no question when off", oprProgram, false, TAnswer::No, 0, false, 0, trSuccess, trSuccess,
     nullptr, " Programming... Success", "Programming: Success  Device: 24C02 Range: 0 - FF"},
    {"verify errors", oprVerify, true, TAnswer::Yes, 2, false, 0, trSuccess, trSuccess, nullptr,
     " Verifying... 2 Errors Found", "Verifying:  2 Errors Found  Device: 24C02 Range: 0 - FF"},
    {"cancel with an error", oprRead, true, TAnswer::Yes, 1, true, 0, trSuccess, trSuccess, nullptr,
     " Reading... User Break", "Reading:  1 Errors Found  Device: 24C02 Range: 0 - FF"},
    {"cancel only", oprBlank, true, TAnswer::Yes, 0, true, 0, trSuccess, trSuccess, nullptr,
     " Blank Checking... User Break", "Blank Checking: User Break  Device: 24C02 Range: 0 - FF"},
    {"no range", oprTestConnection, true, TAnswer::Yes, 0, false, -1, trSuccess, trSuccess, nullptr,
     " Connecting... Success", "Connecting: Success  Device: 24C02"},
    {"fuse program texts", oprFuseBitsProgram, true, TAnswer::Yes, 0, false, -1, trSuccess,
     trSuccess, "Program?", " Program Config Register... Success",
     "Program Fuse Bits: Success  Device: 24C02"},
    {"chip erase question", oprDisableProtection, true, TAnswer::No, 0, false, -1, trSuccess,
     trProgramCancel,
     "All data within the program memory and the data memory will be erased! Process?", nullptr,
     nullptr},
    {"empty prefix", oprEmul, true, TAnswer::Yes, 0, false, -1, trSuccess, trSuccess, nullptr,
     " Emulating... Success", "Success  Device: 24C02"},
    // A failure the task did not report still counts and never reads "Success".
    {"silent failure", oprRead, true, TAnswer::Yes, 0, false, 0, trDevTimeout, trDevTimeout,
     nullptr, " Reading... 1 Errors Found",
     "Reading:  1 Errors Found  Device: 24C02 Range: 0 - FF"},
};

TEST_F(TaskRunner, OperationAnswerErrorsAndCancelGiveStatusLineAndResult) {
  for (const TCase& c : Cases) {
    Rec.Reset();
    Rec.Answers = {c.Answer};
    Form.ProgramConfirmation = c.Confirm;
    int runs = 0;
    auto task = [&] {
      ++runs;
      for (int i = 0; i < c.VerifyErrors; ++i)
        Form.VerifyError(0x10 + i, 0xAB, 0x0C);
      if (c.Cancel) Form.SetUserBreak(true);
      return c.Returns;
    };
    const TTaskResult r = Form.Execute(c.Op, "24C02", task, tmEEPROM, 0xFF, c.RangeStart);
    EXPECT_EQ(r, c.Result) << c.Name;
    if (c.Question) {
      ASSERT_EQ(Rec.Boxes.size(), 1u) << c.Name;
      EXPECT_EQ(Rec.Boxes[0], std::string("Confirm|") + c.Question) << c.Name;
    } else {
      EXPECT_TRUE(Rec.Boxes.empty()) << c.Name;
    }
    if (!c.Status) {
      EXPECT_EQ(runs, 0) << c.Name;
      EXPECT_EQ(Rec.TaskShown, 0) << c.Name;
      EXPECT_TRUE(Rec.Lines.empty()) << c.Name;
      continue;
    }
    EXPECT_EQ(runs, 1) << c.Name;
    EXPECT_EQ(Rec.TaskShown, 1) << c.Name;
    EXPECT_EQ(Rec.TaskHidden, 1) << c.Name;
    ASSERT_FALSE(Rec.StatusLines.empty()) << c.Name;
    EXPECT_EQ(Rec.StatusLines.back(), c.Status) << c.Name;
    ASSERT_FALSE(Rec.Lines.empty()) << c.Name;
    EXPECT_EQ(Rec.Lines.back(), c.Line) << c.Name;
    EXPECT_EQ(Rec.TaskRange, c.RangeStart < 0 ? "N/A" : "0 - FF") << c.Name;
    EXPECT_EQ(Rec.Holds, (std::vector<int>{1500})) << c.Name;
  }
}

TEST_F(TaskRunner, VerifyErrorLinesComeBeforeTheResultLine) {
  Form.Execute(
      oprVerify, "24C02",
      [&] {
        Form.VerifyError(0x1A, 0x5, 0xFF);
        Form.BlankCheckError(0x200, 0x0);
        return trSuccess;
      },
      tmEEPROM, 0xFF, 0);
  EXPECT_EQ(Rec.Lines, (std::vector<std::string>{
                           "Verify Error [1A] = 05 read FF", "Blank Check Error [200] = 00",
                           "Verifying:  2 Errors Found  Device: 24C02 Range: 0 - FF"}));
  EXPECT_EQ(Rec.MainToFront, 1);
}

TEST_F(TaskRunner, ModuleThatCannotBeLoadedStopsBeforeAnything) {
  LoadResult = trLoadModuleError;
  int runs = 0;
  auto r = Form.Execute(
      oprRead, "24C02", [&] { return ++runs, trSuccess; }, tmEEPROM, 0xFF, 0);
  EXPECT_EQ(r, trLoadModuleError);
  EXPECT_EQ(Loaded, (std::vector<TModule>{tmEEPROM}));
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(Rec.TaskShown, 0);
  EXPECT_TRUE(Rec.Lines.empty());
  EXPECT_EQ(Form.ErrorCount, 0);
}

TEST_F(TaskRunner, ErrorsTheLinkReportsThroughTheServicesAreCounted) {
  Form.Execute(
      oprRead, "24C02",
      [&] {
        Services().AddMessage("Device Time Out");
        Services().AddError();
        return trDevTimeout;
      },
      tmEEPROM, 0xFF, 0);
  EXPECT_EQ(Form.ErrorCount, 1);
  EXPECT_EQ(Rec.Errors, 1);
  EXPECT_EQ(Rec.Lines,
            (std::vector<std::string>{"Device Time Out",
                                      "Reading:  1 Errors Found  Device: 24C02 Range: 0 - FF"}));
}

TEST_F(TaskRunner, AnExceptionFailsTheTaskAndLeavesTheTargetSafe) {
  Form.ProgramConfirmation = false;
  auto r = Form.Execute(
      oprProgram, "24C02", []() -> TTaskResult { throw std::runtime_error("bad block"); }, tmEEPROM,
      0xFF, 0);
  EXPECT_EQ(r, trDevError);
  EXPECT_EQ(Form.ErrorCount, 1);
  EXPECT_EQ(SafeStates, 1);
  ASSERT_EQ(Rec.Lines.size(), 2u);
  EXPECT_NE(Rec.Lines[0].find("bad block"), std::string::npos);
  EXPECT_EQ(Rec.Lines[1], "Programming:  1 Errors Found  Device: 24C02 Range: 0 - FF");
}

TEST_F(TaskRunner, ANameWithPercentSignsIsPrintedAsIs) {
  Form.Execute(
      oprRead, "my %s %x dev", [] { return trSuccess; }, tmEEPROM, 0x10, 0);
  EXPECT_EQ(Rec.Lines.back(), "Reading: Success  Device: my %s %x dev Range: 0 - 10");
}

TEST_F(TaskRunner, ProgressIsDrawnAtMostOncePerTick) {
  Form.Execute(
      oprRead, "24C02",
      [&] {
        // 30 ms between calls: ticks at 100, 200, 300 -> three updates.
        for (int a = 0; a < 10; ++a) {
          Rec.Sleep(30);
          Form.ShowProgress(a * 16);
        }
        Form.AddError();
        Rec.Sleep(100);
        Form.ShowProgress(0xAB);
        Form.ShowCount(7, true); // forced: drawn without a tick
        Form.ShowCount(8, false);
        return trSuccess;
      },
      tmEEPROM, 0xFF, 0);
  const std::vector<std::string> expected = {" Reading...",
                                             " Reading... 30",
                                             " Reading... 60",
                                             " Reading... 90",
                                             " Reading... AB Errors: 1",
                                             " Reading... 7",
                                             " Reading... 1 Errors Found"};
  EXPECT_EQ(Rec.StatusLines, expected);
}

TEST_F(TaskRunner, WaitWithProgressStopsOnCancel) {
  Form.ProgramConfirmation = false;
  Form.Execute(
      oprErase, "M25P05",
      [&] {
        Rec.OnPump = [&] {
          if (Rec.Clock >= 300) Form.SetUserBreak(true);
        };
        Form.WaitWithProgress(1000, 100);
        Rec.OnPump = nullptr;
        return trSuccess;
      },
      tmEEPROM, 0xFFFF, 0);
  EXPECT_EQ(Form.ProgressMax, 1000);
  EXPECT_EQ(Rec.StatusLines.back(), " Erasing... User Break");
  // 100, 200, 300 during the wait, then back to 0 when the dialog closes.
  EXPECT_EQ(std::vector<int>(Rec.Positions.end() - 4, Rec.Positions.end()),
            (std::vector<int>{100, 200, 300, 0}));
}

TEST_F(TaskRunner, SetStatusChangesTheBaseOfLaterLines) {
  Form.ProgramConfirmation = false;
  Form.Execute(
      oprProgram, "USB Module Boot EEPROM",
      [&] {
        Form.SetStatus(" Verifying...");
        return trSuccess;
      },
      tmKVBoot, 4015, 0);
  EXPECT_EQ(Rec.StatusLines.back(), " Verifying... Success");
  EXPECT_EQ(Rec.Lines.back(),
            "Programming: Success  Device: USB Module Boot EEPROM Range: 0 - FAF");
}

} // namespace
