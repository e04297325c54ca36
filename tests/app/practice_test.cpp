// Practising the listed phrases on the practice card, through the keys, the card's texts, the
// captured sound and practice.dat.
#include <fstream>

#include "app/accessibility.h"
#include "app/practicedlg.h"
#include "catalogue/practiceschedule.h"
#include "mainwindow_fixture.h"
#include "platform/shell/codepage.h"

namespace apptest {
namespace {

class Practice : public MainWindowUse {
protected:
    void CtrlKey(UINT vk) {
        backend.KeyDown(VK_CONTROL);
        backend.Key(vk);
        backend.KeyUp(VK_CONTROL);
    }
    // The open practice card (null when none has the focus).
    CPracticeDlg* Card() const {
        return dynamic_cast<CPracticeDlg*>(app.FromHandle(backend.Focused()));
    }
    std::u16string CardText(int id) const { return Card()->GetDlgItemText(id); }
    static std::string FileText(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(Practice, TheCardRevealsSpeaksAndGradesTheListedPhrasesAndKeepsTheirDates) {
    // A damaged practice.dat is put aside once, and practice starts afresh.
    std::ofstream("practice.dat", std::ios::binary) << "7\tHello.\tnot a date\n";
    std::u16string first;
    PhraseNo number = 0;
    Run({[&] { CtrlKey('P'); },
         [&] {
             ASSERT_NE(Card(), nullptr) << "no practice card";
             first = List().GetText(0);
             number = NumberOf(first);
             EXPECT_EQ(CardText(ids::PracticeEnglishLabel), first);
             EXPECT_EQ(CardText(ids::PracticeGermanLabel), u"");
             backend.Key('3');  // no grade before the German is shown
             backend.Key(VK_SPACE);
         },
         [&] {
             EXPECT_EQ(CardText(ids::PracticeEnglishLabel), first);
             EXPECT_EQ(CardText(ids::PracticeGermanLabel), GermanOf(number));
             EXPECT_TRUE(LastWrite() == SpokenClip(number));
             // Graded as a screen reader would: the "3 Good" button pressed by its action.
             const HWND good = Card()->GetDlgItem(ids::PracticeGoodLink);
             const a11y::Description d = a11y::Describe(app, good, DescribeProgramWindow);
             EXPECT_EQ(d.role, a11y::Role::PushButton);
             EXPECT_EQ(d.name, u"3 Good");
             EXPECT_TRUE(a11y::Press(app, good, d));
         },
         [&] {
             // Good on a new card: due tomorrow, and the next listed phrase is asked.
             const std::string line = FileText("practice.dat");
             const std::string expected =
                 std::to_string(number) + "\t" + shell::Utf16ToUtf8(first) + "\t" +
                 catalogue::FormatDay(catalogue::Day{catalogue::LocalToday().n + 1}) + "\t";
             EXPECT_EQ(line.substr(0, expected.size()), expected);
             EXPECT_EQ(CardText(ids::PracticeEnglishLabel), List().GetText(1));
             backend.Key(VK_ESCAPE);
         },
         [&] {
             EXPECT_EQ(Card(), nullptr);
             EXPECT_EQ(Messages(),
                       std::vector<std::u16string>{std::u16string(CSkinDlg::PracticeSetAside)});
             EXPECT_TRUE(std::filesystem::exists("practice.dat.bad"));
             // The window's own selection speaks again.
             backend.Key(VK_SPACE);
         },
         [&] {
             EXPECT_TRUE(LastWrite() == SpokenClip(Selected()));
             Click(ids::PracticeButton);
         },
         [&] {
             // The phrase graded Good is not due today: practice goes on with the next.
             ASSERT_NE(Card(), nullptr);
             EXPECT_EQ(CardText(ids::PracticeEnglishLabel), List().GetText(1));
             backend.Key(VK_ESCAPE);
         },
         [&] { EXPECT_EQ(Messages().size(), 1u); }});
}

}  // namespace
}  // namespace apptest
