// The built-in skins, in the skin engine's text format (skin_engine.h).

#include "ui/components/skin_engine.h"

namespace {

// Light blue and white, rounded off with a deep blue banner.
constexpr std::string_view kSkinMsn = R"(; skinMsn: sky blue on white
name            = skinMsn
window          = #EEF3FA
text            = #1B2B48
bandTop         = #FFFFFF
bandBottom      = #C9DCF5
bandEdge        = #7FA6D9
bandEdgeWidth   = 1
menuBar         = #E3ECF8
status          = #DCE7F6
bannerTop       = #3B6FC4
bannerBottom    = #A9C8F0
bannerText      = #FFFFFF
cardFill        = #D6EFFF
cardEdge        = #84CBEF
navBackground   = #D5E3F7
navGroupBody    = #F7FAFF
navGroupBorder  = #9DB9E3
navHeaderTop    = #FFFFFF
navHeaderBottom = #C4D8F4
navHeaderHot    = #A9C6F0
navHeaderText   = #1D3F7A
navItemText     = #1B2B48
navDisabledText = #9AA6B8
navHotFill      = #E6F0FD
navHotBorder    = #9CC0EE
navSelectedFill = #C7DDFA
navSelectedBorder = #3E7BD3
)";

// Silver with a graphite side bar and aqua highlights.
constexpr std::string_view kSkinVista = R"(; skinVista: graphite and silver, aqua accents
name            = skinVista
window          = #F1F3F5
text            = #1F2326
bandTop         = #FDFEFE
bandBottom      = #C3CED6
bandEdge        = #4E5E6B
bandEdgeWidth   = 2
menuBar         = #E6EAED
status          = #D9E0E5
bannerTop       = #1F2B35
bannerBottom    = #5D7C92
bannerText      = #FFFFFF
cardFill        = #E6ECF0
cardEdge        = #7D8F9C
navBackground   = #3A4853
navGroupBody    = #F4F7F9
navGroupBorder  = #22303A
navHeaderTop    = #6A8294
navHeaderBottom = #33444F
navHeaderHot    = #2C7FB8
navHeaderText   = #FFFFFF
navItemText     = #1F2326
navDisabledText = #9AA3AA
navHotFill      = #E2F1FB
navHotBorder    = #7FC3EC
navSelectedFill = #CDE8F8
navSelectedBorder = #2C8AC9
)";

// Mint and sea green.
constexpr std::string_view kSkinCool = R"(; skinCool: mint and sea green
name            = skinCool
window          = #EEF7F4
text            = #173A33
bandTop         = #F7FFFC
bandBottom      = #B4E2D3
bandEdge        = #3E9C82
bandEdgeWidth   = 2
menuBar         = #E0F2EC
status          = #D2ECE3
bannerTop       = #1E8A74
bannerBottom    = #9FDCCB
bannerText      = #FFFFFF
cardFill        = #DDF3EC
cardEdge        = #6FBFA6
navBackground   = #CDEBE1
navGroupBody    = #F8FDFB
navGroupBorder  = #8CCBB7
navHeaderTop    = #EFFFF9
navHeaderBottom = #A9DECD
navHeaderHot    = #7FCDB4
navHeaderText   = #0F5445
navItemText     = #173A33
navDisabledText = #93ABA4
navHotFill      = #E3F6EF
navHotBorder    = #8FD3BE
navSelectedFill = #BDE9DA
navSelectedBorder = #2E9A7E
)";

}  // namespace

const std::vector<std::string_view>& builtInSkinTexts() {
  static const std::vector<std::string_view> texts{kSkinMsn, kSkinVista, kSkinCool};
  return texts;
}
