// The candidate window: both themes, both layouts, codes and page indicator on and
// off, another selection, small and large fonts.
#include <string>
#include <utility>
#include <vector>

#include "CandWindow.h"
#include "Pages.h"

namespace zlgallery {

namespace {

zl::CandidateList Candidates() {
    const struct {
        const wchar_t* text;
        const char* code;
    } rows[] = {{L"经", "xca"}, {L"经济", "xcyj"}, {L"经过", "xcfp"}, {L"经验", "xccw"},
                {L"纪", "xnn"}, {L"经济学", "xyip"}, {L"结", "xfk"}};
    std::vector<zl::Candidate> out;
    for (const auto& r : rows) {
        zl::Candidate c;
        c.text = r.text;
        c.code = r.code;
        out.push_back(c);
    }
    zl::CandidateList list;
    list.Assign(std::move(out));
    return list;
}

struct State {
    const wchar_t* name;
    uint64_t page;
    uint32_t fontPx;
    bool horizontal;
    bool codes;
    bool indicator;
    uint32_t selected;
};

}  // namespace

void AddCandidatePages(Gallery& g) {
    const zl::CandidateList list = Candidates();
    const State states[] = {
        {L"horizontal", 0, 20, true, true, true, 0},
        {L"horizontal-page2", 1, 20, true, true, true, 0},
        {L"horizontal-plain", 0, 20, true, false, false, 1},
        {L"horizontal-small", 0, 12, true, true, true, 0},
        {L"horizontal-large", 0, 36, true, true, true, 0},
        {L"vertical", 0, 20, false, true, true, 0},
        {L"vertical-plain", 0, 20, false, false, false, 2},
        {L"vertical-large", 0, 30, false, true, true, 0},
    };
    zl::CandWindow w;
    if (!w.Create(g.Instance())) {
        g.Fail(L"cand", "the candidate window could not be created");
        return;
    }
    for (const bool dark : {false, true}) {
        for (const State& s : states) {
            const std::wstring name = std::wstring(L"cand-") + s.name + (dark ? L"-dark" : L"-light");
            zl::CandShow req;
            req.list = &list;
            req.page = s.page;
            req.pageSize = 5;
            req.x = 40;
            req.y = 40;
            req.fontPx = s.fontPx;
            req.showCode = s.codes;
            req.horizontal = s.horizontal;
            req.showPageIndicator = s.indicator;
            req.selected = s.selected;
            w.Show(req);
            if (!w.visible) {
                g.Fail(name, "nothing shown");
                continue;
            }
            w.dark = dark;  // the theme is otherwise the user's
            zltest::Canvas picture(w.clientSize.cx, w.clientSize.cy);
            w.PaintTo(picture.Dc());
            g.SaveFramed(name, picture, CreateRoundRectRgn(0, 0, w.clientSize.cx + 1, w.clientSize.cy + 1, 10, 10));
        }
    }
    w.Destroy();
}

}  // namespace zlgallery
