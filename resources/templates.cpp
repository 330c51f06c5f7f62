// The five dialog templates. Captions, ids, texts, places and sizes are the
// program's published layout; where a control's place or size was never
// given (the Query Panel's lists and labels, the Timeline Panel's captions
// of the step buttons) it is chosen here to fit its frame. Two kinds of
// place differ from it: Qt draws a group box's title above its frame, not
// across it, so the controls within a group start a little lower, clear of
// the title; and the "Month" caption is as wide as its word in the panel
// font and stands off its "+" button as the other captions do.
//
// A drop-down list's height is its dropped-down height, as in the templates
// of the platform the layout comes from; the closed list takes the height
// its font needs.
#include "resources/templates.h"

#include <iterator>

namespace valdrin {

namespace {

using K = ControlKind;

// Template 101, "Query Panel": the "Shift" and "Division" lists top left,
// the "Outcome" group below them, "Officer" and "Suspect" side by side.
constexpr ControlTemplate kQueryControls[] = {
    {1050, K::kLabel, "Shift", 7, 7, 67, 8, kStyleNone, nullptr, 0},
    {1001, K::kDropDownList, nullptr, 7, 16, 67, 60, kStyleNone, nullptr, 1050},
    {1051, K::kLabel, "Division", 7, 32, 67, 8, kStyleNone, nullptr, 0},
    {1011, K::kDropDownList, nullptr, 7, 41, 67, 120, kStyleNone, nullptr, 1051},
    {1060, K::kGroupBox, "Outcome", 7, 76, 67, 60, kStyleNone, nullptr, 0},
    {1052, K::kLabel, "Successful", 12, 88, 57, 8, kStyleNone, nullptr, 0},
    {1012, K::kDropDownList, nullptr, 12, 97, 57, 60, kStyleNone, nullptr, 1052},
    {1053, K::kLabel, "Injury", 12, 112, 57, 8, kStyleNone, nullptr, 0},
    {1013, K::kDropDownList, nullptr, 12, 121, 57, 60, kStyleNone, nullptr, 1053},
    {1061, K::kGroupBox, "Officer", 80, 7, 73, 129, kStyleNone, nullptr, 0},
    {1054, K::kLabel, "# Of", 85, 19, 63, 8, kStyleNone, nullptr, 0},
    {1002, K::kDropDownList, nullptr, 85, 28, 63, 80, kStyleNone, nullptr, 1054},
    {1055, K::kLabel, "Race", 85, 49, 63, 8, kStyleNone, nullptr, 0},
    {1003, K::kDropDownList, nullptr, 85, 58, 63, 80, kStyleNone, nullptr, 1055},
    {1056, K::kLabel, "Gender", 85, 79, 63, 8, kStyleNone, nullptr, 0},
    {1004, K::kDropDownList, nullptr, 85, 88, 63, 60, kStyleNone, nullptr, 1056},
    {1057, K::kLabel, "Response", 85, 109, 63, 8, kStyleNone, nullptr, 0},
    {1005, K::kDropDownList, nullptr, 85, 118, 63, 60, kStyleNone, nullptr, 1057},
    {1062, K::kGroupBox, "Suspect", 158, 7, 73, 129, kStyleNone, nullptr, 0},
    {1058, K::kLabel, "# Of", 163, 19, 63, 8, kStyleNone, nullptr, 0},
    {1006, K::kDropDownList, nullptr, 163, 27, 63, 100, kStyleNone, nullptr, 1058},
    {1059, K::kLabel, "Race", 163, 42, 63, 8, kStyleNone, nullptr, 0},
    {1007, K::kDropDownList, nullptr, 163, 50, 63, 80, kStyleNone, nullptr, 1059},
    {1063, K::kLabel, "Gender", 163, 65, 63, 8, kStyleNone, nullptr, 0},
    {1008, K::kDropDownList, nullptr, 163, 73, 63, 60, kStyleNone, nullptr, 1063},
    {1064, K::kLabel, "Age", 163, 88, 63, 8, kStyleNone, nullptr, 0},
    {1009, K::kDropDownList, nullptr, 163, 96, 63, 100, kStyleNone, nullptr, 1064},
    {1065, K::kLabel, "Reason", 163, 111, 63, 8, kStyleNone, nullptr, 0},
    {1010, K::kDropDownList, nullptr, 163, 119, 63, 80, kStyleNone, nullptr, 1065},
};

// Template 106, "Timeline Panel".
constexpr ControlTemplate kTimelineControls[] = {
    {1020, K::kPlayButton, "<", 7, 7, 20, 12, kStyleNone, "Play backward", 0},
    {1019, K::kPlayButton, "| |", 27, 7, 20, 12, kStyleNone, "Pause", 0},
    {1018, K::kPlayButton, ">", 47, 7, 20, 12, kStyleNone, "Play forward", 0},
    {1023, K::kProgressBar, nullptr, 67, 7, 273, 12, kStyleSmooth, "Window end", 0},
    {1029, K::kDropDownList, nullptr, 340, 7, 40, 50, kStyleNone, "Step unit", 0},
    {1046, K::kPushButton, "[ .. ]", 7, 25, 31, 12, kStyleNone, nullptr, 0},
    {1028, K::kLabel, "Shift", 50, 26, 18, 8, kStyleNone, nullptr, 0},
    {1030, K::kPushButton, "+", 70, 26, 10, 10, kStyleNone, "Shift +", 0},
    {1031, K::kPushButton, "-", 80, 26, 10, 10, kStyleNone, "Shift -", 0},
    {1032, K::kLabel, "Day", 100, 26, 18, 8, kStyleNone, nullptr, 0},
    {1033, K::kPushButton, "+", 120, 26, 10, 10, kStyleNone, "Day +", 0},
    {1034, K::kPushButton, "-", 130, 26, 10, 10, kStyleNone, "Day -", 0},
    {1035, K::kLabel, "Month", 145, 26, 23, 8, kStyleNone, nullptr, 0},
    {1036, K::kPushButton, "+", 171, 26, 10, 10, kStyleNone, "Month +", 0},
    {1037, K::kPushButton, "-", 181, 26, 10, 10, kStyleNone, "Month -", 0},
    {1038, K::kLabel, "Year", 200, 26, 18, 8, kStyleNone, nullptr, 0},
    {1039, K::kPushButton, "+", 220, 26, 10, 10, kStyleNone, "Year +", 0},
    {1040, K::kPushButton, "-", 230, 26, 10, 10, kStyleNone, "Year -", 0},
    {1044, K::kLabel, "Day,January,1,2000", 260, 24, 120, 14, kStyleCentred | kStyleSunken, nullptr,
     0},
};

// Template 103, "GIS Panel", in template order.
constexpr ControlTemplate kGisControls[] = {
    {1003, K::kLabel, "Map", 7, 6, 81, 8, kStyleCentred, nullptr, 0},
    {1004, K::kDropDownList, nullptr, 7, 17, 81, 43, kStyleNone, nullptr, 1003},
    {1005, K::kCheckBox, "Major Roads", 12, 66, 69, 10, kStyleNone, nullptr, 0},
    {1024, K::kGroupBox, "Overlay", 7, 30, 81, 133, kStyleCentred, nullptr, 0},
    {1006, K::kCheckBox, "Major Road Labels", 12, 78, 69, 10, kStyleNone, nullptr, 0},
    {1007, K::kCheckBox, "Highways", 12, 90, 69, 10, kStyleNone, nullptr, 0},
    {1008, K::kCheckBox, "Highway Labels", 12, 102, 69, 10, kStyleNone, nullptr, 0},
    {1009, K::kCheckBox, "DUZ Stations", 12, 114, 69, 10, kStyleNone, nullptr, 0},
    {1010, K::kCheckBox, "DUZ Station Labels", 12, 126, 69, 10, kStyleNone, nullptr, 0},
    {1011, K::kCheckBox, "Hospitals", 12, 138, 69, 10, kStyleNone, nullptr, 0},
    {1013, K::kCheckBox, "Hospital Labels", 12, 150, 69, 10, kStyleNone, nullptr, 0},
    {1012, K::kCheckBox, "Zip Codes", 12, 42, 69, 10, kStyleNone, nullptr, 0},
    {1014, K::kCheckBox, "Zip Code Labels", 12, 54, 69, 10, kStyleNone, nullptr, 0},
    {1015, K::kLabel, "Selection", 7, 166, 81, 8, kStyleCentred, nullptr, 0},
    {1016, K::kDropDownList, nullptr, 7, 176, 81, 43, kStyleNone, nullptr, 1015},
};

// Template 109, "Info Panel".
constexpr ControlTemplate kInfoControls[] = {
    {1035, K::kTextBox, nullptr, 7, 7, 178, 97, kStyleNone, "Info text", 0},
    {1045, K::kPushButton, "Clear", 15, 112, 50, 14, kStyleNone, nullptr, 0},
    {1046, K::kPushButton, "Save", 127, 112, 50, 14, kStyleNone, nullptr, 0},
};

// Template 108, the About box: picture, the two groups, three contact
// entries (role, team, address) and the web address, the quick reference
// of the mouse and the "OK" button. The reference lines are centred on
// 174, the middle of a label at 141 that is 66 wide, and are as wide as
// their group allows so that the longest line fits the panel font.
constexpr ControlTemplate kAboutControls[] = {
    {1037, K::kPicture, nullptr, 6, 6, 217, 73, kStyleCentred | kStyleSunken, nullptr, 0},
    {1038, K::kGroupBox, "Contact information", 12, 85, 110, 153, kStyleNone, nullptr, 0},
    {1039, K::kGroupBox, "Quick reference", 129, 85, 90, 153, kStyleNone, nullptr, 0},
    {1040, K::kLabel, "Development", 17, 100, 100, 8, kStyleCentred, nullptr, 0},
    {1041, K::kLabel, "Valdrin team", 17, 109, 100, 8, kStyleCentred, nullptr, 0},
    {1042, K::kLabel, "valdrin@example.org", 17, 118, 100, 8, kStyleCentred, nullptr, 0},
    {1043, K::kLabel, "Maps and data", 17, 140, 100, 8, kStyleCentred, nullptr, 0},
    {1044, K::kLabel, "GIS unit", 17, 149, 100, 8, kStyleCentred, nullptr, 0},
    {1045, K::kLabel, "gis@example.org", 17, 158, 100, 8, kStyleCentred, nullptr, 0},
    {1046, K::kLabel, "Support", 17, 180, 100, 8, kStyleCentred, nullptr, 0},
    {1047, K::kLabel, "Help desk", 17, 189, 100, 8, kStyleCentred, nullptr, 0},
    {1048, K::kLabel, "support@example.org", 17, 198, 100, 8, kStyleCentred, nullptr, 0},
    {1059, K::kLabel, "www.example.org/valdrin", 17, 221, 100, 8, kStyleCentred, nullptr, 0},
    {1049, K::kLabel, "Pan view:", 131, 100, 86, 8, kStyleCentred, nullptr, 0},
    {1050, K::kLabel, "Right mouse", 131, 109, 86, 8, kStyleCentred, nullptr, 0},
    {1051, K::kLabel, "Zoom view:", 131, 128, 86, 8, kStyleCentred, nullptr, 0},
    {1052, K::kLabel, "Shift + Right mouse", 131, 137, 86, 8, kStyleCentred, nullptr, 0},
    {1053, K::kLabel, "Move view:", 131, 156, 86, 8, kStyleCentred, nullptr, 0},
    {1054, K::kLabel, "Ctrl + Right mouse", 131, 165, 86, 8, kStyleCentred, nullptr, 0},
    {1055, K::kLabel, "Control timeline:", 131, 184, 86, 8, kStyleCentred, nullptr, 0},
    {1056, K::kLabel, "Left mouse", 131, 193, 86, 8, kStyleCentred, nullptr, 0},
    {1057, K::kLabel, "Make selection", 131, 212, 86, 8, kStyleCentred, nullptr, 0},
    {1058, K::kLabel, "Ctrl + Left mouse", 131, 221, 86, 8, kStyleCentred, nullptr, 0},
    {1036, K::kDefaultButton, "OK", 94, 245, 50, 14, kStyleNone, nullptr, 0},
};

constexpr PanelTemplate kTemplates[] = {
    {kGisTemplate, "GIS Panel", PanelKind::kChild, 40, 40, 93, 195, true, kGisControls,
     std::size(kGisControls)},
    {kQueryTemplate, "Query Panel", PanelKind::kChild, 20, 20, 238, 142, true, kQueryControls,
     std::size(kQueryControls)},
    {kTimelineTemplate, "Timeline Panel", PanelKind::kChild, 0, 0, 387, 41, true, kTimelineControls,
     std::size(kTimelineControls)},
    {kInfoTemplate, "Info Panel", PanelKind::kChild, 15, 15, 192, 132, false, kInfoControls,
     std::size(kInfoControls)},
    {kAboutTemplate, "About Valdrin 1.0d", PanelKind::kPopup, 0, 0, 231, 265, false, kAboutControls,
     std::size(kAboutControls)},
};

}  // namespace

const PanelTemplate* find_template(uint16_t id) {
  for (const PanelTemplate& t : kTemplates)
    if (t.id == id) return &t;
  return nullptr;
}

const ControlTemplate* find_control_template(const PanelTemplate& panel, uint16_t id) {
  for (size_t i = 0; i < panel.control_count; ++i)
    if (panel.controls[i].id == id) return &panel.controls[i];
  return nullptr;
}

}  // namespace valdrin
