// The caption button and caption panel draw their lines as one block centred on the face.
#include "FaceSupport.h"

#include "components/KX3_Button.h"
#include "components/KX3_Panel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

using namespace tk;
using facetest::Face;

namespace {

// Counts the paints, to see that many list changes cost one repaint.
template <class Base> class Counting : public Base {
public:
    using Base::Base;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Base::Paint();
    }
};

template <class T> class CaptionControlTest : public testing::Test {
protected:
    // The library control the caption control paints over.
    using Plain = std::conditional_t<std::is_same_v<T, TKX3_Button>, TSpeedButton, TPanel>;

    static constexpr int kWidth = 120;
    static constexpr int kHeight = 80;

    CaptionControlTest() { Place(control.get()); }

    static void Place(TControl* c) { c->SetBounds(0, 0, kWidth, kHeight); }

    void SetLines(const std::vector<std::string>& lines) {
        TStringList list;
        for (const auto& line : lines) {
            list.Add(line);
        }
        control->SetCaptions(&list);
    }

    // The face with no lines, and the lines drawn over it where they belong: the block
    // centred on the face, each line centred, an empty line the height of a blank.
    QImage Expected(const std::vector<std::string>& lines) {
        Counting<T> blank(nullptr);
        Place(&blank);
        facetest::Sketch sketch(Face(&blank));
        TCanvas* canvas = sketch.Canvas();
        canvas->SetFont(control->GetFont());
        canvas->GetBrush()->SetStyle(bsClear);
        const int lineHeight = canvas->TextHeight("A");
        int y = kHeight / 2 - static_cast<int>(lines.size()) * lineHeight / 2;
        for (const auto& line : lines) {
            canvas->TextOut(kWidth / 2 - canvas->TextWidth(line) / 2, y, line);
            y += lineHeight;
        }
        return sketch.Image();
    }

    std::unique_ptr<Counting<T>> control = std::make_unique<Counting<T>>(nullptr);
};

using CaptionControls = testing::Types<TKX3_Button, TKX3_Panel>;
TYPED_TEST_SUITE(CaptionControlTest, CaptionControls);

TYPED_TEST(CaptionControlTest, EmptyListLeavesTheInheritedFace) {
    typename TestFixture::Plain plain(nullptr);
    TestFixture::Place(&plain);
    EXPECT_EQ(Face(this->control.get()), Face(&plain));
}

TYPED_TEST(CaptionControlTest, LinesAreCentredAsABlockWithBlankLinesKept) {
    const std::vector<std::vector<std::string>> cases = {
        {"Clear", "Monitor"},
        {"A", "", "B"},
        {"One", "Two", "Three"},
        // Wider than the face: still centred, clipped on both sides.
        {"A line far too wide for so small a face"},
    };
    for (const auto& lines : cases) {
        this->SetLines(lines);
        EXPECT_EQ(Face(this->control.get()), this->Expected(lines)) << lines.front();
    }
}

TYPED_TEST(CaptionControlTest, DirectListChangesRepaintOnceWithTheNewLines) {
    this->SetLines({"Old", "Lines"});
    Face(this->control.get());
    const int paintsBefore = this->control->paints;

    TStrings* captions = this->control->GetCaptions();
    captions->Clear();
    for (const char* line : {"1", "2", "3", "4"}) {
        captions->Add(line);
    }
    const QImage face = Face(this->control.get());
    EXPECT_EQ(this->control->paints, paintsBefore + 1);
    EXPECT_EQ(face, this->Expected({"1", "2", "3", "4"}));
}

TYPED_TEST(CaptionControlTest, SettingNoListClearsTheLines) {
    this->SetLines({"Gone"});
    Face(this->control.get());
    this->control->SetCaptions(nullptr);
    EXPECT_EQ(this->control->GetCaptions()->GetCount(), 0);
    EXPECT_EQ(Face(this->control.get()), this->Expected({}));
}

} // namespace
