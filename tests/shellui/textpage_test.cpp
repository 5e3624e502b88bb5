#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>

#include "shell/rtfreader.h"
#include "shell/ui/richconvert.h"
#include "shell/ui/txtform.h"
#include "shelluifixture.h"

namespace {

class TTextPageTest : public TMainFormTest {
protected:
  void SetUp() override {
    TMainFormTest::SetUp();
    ASSERT_TRUE(Dir.isValid());
    Form->RegisterPageKind(TPageKind::Text, [this](TMainForm& m) {
      auto* page = new TTextPage(m);
      page->AskSaveName = [this](const QString& name, const QString&, const QString& suffix) {
        Asked.push_back(name.toStdString() + "|" + suffix.toStdString());
        return NextName;
      };
      return page;
    });
    Form->AnswerQuestion = [this](const std::string&, const std::string& text, bool) {
      Questions.push_back(text);
      return Answer;
    };
  }
  TTextPage* NewText() { return static_cast<TTextPage*>(Form->NewPage(TPageKind::Text)); }
  QString Path(const char* name) const { return Dir.filePath(name); }
  static std::string Contents(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QTemporaryDir Dir;
  QString NextName; // what the Save As dialog answers; empty: cancelled
  std::vector<std::string> Asked;
  std::vector<std::string> Questions;
  TAnswer Answer = TAnswer::Yes;
};

TEST_F(TTextPageTest, FormattedTextSavedAsRtfUnderTxtReadsBack) {
  TTextPage* page = NewText();
  ASSERT_NE(page, nullptr);
  QTextCursor c(page->Editor()->document());
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  c.insertText("Pin-out of the ");
  c.insertText("24C02", bold);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  c.insertBlock(centred);
  c.insertText("caf\u00e9 \u20ac \u03a9");
  c.insertBlock(QTextBlockFormat());
  c.createList(QTextListFormat::ListDisc);
  c.insertText("SDA on P3");
  EXPECT_EQ(Title(), "Korvane Device Programmer v1.1  - Untited1 [Modified]");
  Screenshot(Form.get(), "text_page");

  NextName = Path("notes.txt");
  Form->QtAction("SaveAction")->trigger();
  ASSERT_EQ(Asked, std::vector<std::string>{"Untited1|txt"});
  std::string saved = Contents(NextName);
  EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u) << "a .txt name still gets rich text";
  EXPECT_FALSE(page->Modified());
  EXPECT_EQ(page->Caption(), "notes");
  EXPECT_EQ(Title(), "Korvane Device Programmer v1.1  - " + NextName.toStdString());
  EXPECT_EQ(Form->RecentFiles().Items().front(), NextName.toStdString());

  // After one save, Save writes straight to the file.
  c.insertText(" and SCL on P4");
  Form->QtAction("SaveAction")->trigger();
  EXPECT_EQ(Asked.size(), 1u);

  TTextPage* back = NewText();
  ASSERT_TRUE(back->OpenFile(NextName.toStdString()));
  EXPECT_EQ(RichFromDocument(*back->Editor()->document()),
            RichFromDocument(*page->Editor()->document()));
  auto rich = RichFromDocument(*back->Editor()->document());
  ASSERT_EQ(rich.Paragraphs.size(), 3u);
  EXPECT_TRUE(rich.Paragraphs[0].Runs.at(1).Format.Bold);
  EXPECT_EQ(rich.Paragraphs[1].Align, TRichAlign::Center);
  EXPECT_TRUE(rich.Paragraphs[2].Bullet);
  EXPECT_EQ(rich.Paragraphs[2].Text(), "SDA on P3 and SCL on P4");
}

TEST_F(TTextPageTest, CloseQueryAsksOnlyWhenModified) {
  struct Case {
    const char* Name;
    bool Edit;
    bool NeverSaved;
    TAnswer Answer;
    const char* DialogAnswer; // file name, "" cancels the Save As dialog
    bool Allowed;
    bool Written;
  } cases[] = {
      {"unmodified", false, true, TAnswer::Yes, "", true, false},
      {"no", true, true, TAnswer::No, "", true, false},
      {"cancel", true, true, TAnswer::Cancel, "", false, false},
      // A never-saved page is asked for a name; cancelling it keeps the page.
      {"yes, name cancelled", true, true, TAnswer::Yes, "", false, false},
      {"yes, named", true, true, TAnswer::Yes, "named.rtf", true, true},
      {"yes, saved before", true, false, TAnswer::Yes, "", true, true},
  };
  for (const auto& c : cases) {
    Questions.clear();
    TTextPage* page = NewText();
    QString existing = Path("existing.rtf");
    if (!c.NeverSaved) {
      Write(existing, "{\\rtf1 old}");
      ASSERT_TRUE(page->OpenFile(existing.toStdString()));
    }
    if (c.Edit) page->Editor()->insertPlainText("new");
    Answer = c.Answer;
    NextName = *c.DialogAnswer ? Path(c.DialogAnswer) : QString();
    const std::string name = page->FileName();
    EXPECT_EQ(page->CloseQuery(), c.Allowed) << c.Name;
    EXPECT_EQ(Questions.size(), c.Edit ? 1u : 0u) << c.Name;
    if (c.Edit) {
      EXPECT_EQ(Questions[0], "Save changes to " + name + "?") << c.Name;
    }
    QString target = c.NeverSaved ? NextName : existing;
    EXPECT_EQ(!target.isEmpty() && Contents(target).find("new") != std::string::npos, c.Written)
        << c.Name;
    // Nothing is ever written under the placeholder name.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(page->GetFileName()))) << c.Name;
    Form->DestroyPage(page);
    QFile::remove(existing);
    QFile::remove(Path("named.rtf"));
  }
}

TEST_F(TTextPageTest, SaveAsOverAnExistingFileAsksFirst) {
  QString target = Path("keep.rtf");
  Write(target, "precious");
  TTextPage* page = NewText();
  page->Editor()->insertPlainText("draft");
  NextName = target;
  Answer = TAnswer::No;
  EXPECT_FALSE(page->SaveAs());
  EXPECT_EQ(Questions, std::vector<std::string>{"File Exists. Overwrite?"});
  EXPECT_EQ(Contents(target), "precious");
  EXPECT_TRUE(page->NeverSaved);
  Answer = TAnswer::Yes;
  EXPECT_TRUE(page->SaveAs());
  EXPECT_NE(Contents(target).find("draft"), std::string::npos);
}

TEST_F(TTextPageTest, FailedSaveKeepsTheEditsAndSaysSo) {
  TTextPage* page = NewText();
  page->Editor()->insertPlainText("unsaved");
  NextName = Path("no/such/folder/x.rtf");
  Answer = TAnswer::Yes;
  EXPECT_FALSE(page->SaveAs());
  EXPECT_TRUE(page->Modified());
  EXPECT_TRUE(page->NeverSaved);
  ASSERT_EQ(Questions.size(), 1u); // the warning box
  EXPECT_EQ(Questions[0].rfind("Cannot save ", 0), 0u);
}

TEST_F(TTextPageTest, OpeningReadsRtfOrPlainText) {
  struct Case {
    const char* File;
    QByteArray Bytes;
    std::string Text;
  } cases[] = {
      {"a.rtf", "{\\rtf1\\ansi {\\b Bold}\\par}", "Bold"},
      {"b.txt", "line 1\nline {\\rtf1} 2", "line 1\nline {\\rtf1} 2"},
      {"c.txt", "caf\xe9", "caf\u00e9"}, // not UTF-8: read as an 8-bit text
      {"d.rtf", "", ""},
  };
  for (const auto& c : cases) {
    Write(Path(c.File), c.Bytes);
    TTextPage* page = NewText();
    ASSERT_TRUE(page->OpenFile(Path(c.File).toStdString())) << c.File;
    EXPECT_EQ(page->Editor()->toPlainText().toStdString(), c.Text) << c.File;
    EXPECT_FALSE(page->Modified());
    EXPECT_FALSE(page->NeverSaved);
  }
  // A file that cannot be read opens no page under its name.
  TTextPage* page = NewText();
  Questions.clear();
  EXPECT_FALSE(page->OpenFile(Path("missing.rtf").toStdString()));
  EXPECT_EQ(Questions.size(), 1u);
}

TEST_F(TTextPageTest, ActiveTextPageBindsItsActions) {
  NewText();
  for (const char* name : {"SaveAction", "SaveAsAction", "ChangeFontAction", "CloseAction"})
    EXPECT_TRUE(Form->QtAction(name)->isEnabled()) << name;
  EXPECT_FALSE(Form->QtAction("ZoomInAction")->isEnabled());
}

} // namespace
