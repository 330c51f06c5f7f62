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
    {kShiftLabel, K::kLabel, "Shift", 7, 7, 67, 8, kStyleNone, nullptr, 0},
    {kShiftList, K::kDropDownList, nullptr, 7, 16, 67, 60, kStyleNone, nullptr, kShiftLabel},
    {kDivisionLabel, K::kLabel, "Division", 7, 32, 67, 8, kStyleNone, nullptr, 0},
    {kDivisionList, K::kDropDownList, nullptr, 7, 41, 67, 120, kStyleNone, nullptr, kDivisionLabel},
    {kOutcomeGroup, K::kGroupBox, "Outcome", 7, 76, 67, 60, kStyleNone, nullptr, 0},
    {kSuccessfulLabel, K::kLabel, "Successful", 12, 88, 57, 8, kStyleNone, nullptr, 0},
    {kSuccessfulList, K::kDropDownList, nullptr, 12, 97, 57, 60, kStyleNone, nullptr,
     kSuccessfulLabel},
    {kInjuryLabel, K::kLabel, "Injury", 12, 112, 57, 8, kStyleNone, nullptr, 0},
    {kInjuryList, K::kDropDownList, nullptr, 12, 121, 57, 60, kStyleNone, nullptr, kInjuryLabel},
    {kOfficerGroup, K::kGroupBox, "Officer", 80, 7, 73, 129, kStyleNone, nullptr, 0},
    {kOfficerCountLabel, K::kLabel, "# Of", 85, 19, 63, 8, kStyleNone, nullptr, 0},
    {kOfficerCountList, K::kDropDownList, nullptr, 85, 28, 63, 80, kStyleNone, nullptr,
     kOfficerCountLabel},
    {kOfficerRaceLabel, K::kLabel, "Race", 85, 49, 63, 8, kStyleNone, nullptr, 0},
    {kOfficerRaceList, K::kDropDownList, nullptr, 85, 58, 63, 80, kStyleNone, nullptr,
     kOfficerRaceLabel},
    {kOfficerGenderLabel, K::kLabel, "Gender", 85, 79, 63, 8, kStyleNone, nullptr, 0},
    {kOfficerGenderList, K::kDropDownList, nullptr, 85, 88, 63, 60, kStyleNone, nullptr,
     kOfficerGenderLabel},
    {kResponseLabel, K::kLabel, "Response", 85, 109, 63, 8, kStyleNone, nullptr, 0},
    {kResponseList, K::kDropDownList, nullptr, 85, 118, 63, 60, kStyleNone, nullptr,
     kResponseLabel},
    {kSuspectGroup, K::kGroupBox, "Suspect", 158, 7, 73, 129, kStyleNone, nullptr, 0},
    {kSuspectCountLabel, K::kLabel, "# Of", 163, 19, 63, 8, kStyleNone, nullptr, 0},
    {kSuspectCountList, K::kDropDownList, nullptr, 163, 27, 63, 100, kStyleNone, nullptr,
     kSuspectCountLabel},
    {kSuspectRaceLabel, K::kLabel, "Race", 163, 42, 63, 8, kStyleNone, nullptr, 0},
    {kSuspectRaceList, K::kDropDownList, nullptr, 163, 50, 63, 80, kStyleNone, nullptr,
     kSuspectRaceLabel},
    {kSuspectGenderLabel, K::kLabel, "Gender", 163, 65, 63, 8, kStyleNone, nullptr, 0},
    {kSuspectGenderList, K::kDropDownList, nullptr, 163, 73, 63, 60, kStyleNone, nullptr,
     kSuspectGenderLabel},
    {kSuspectAgeLabel, K::kLabel, "Age", 163, 88, 63, 8, kStyleNone, nullptr, 0},
    {kSuspectAgeList, K::kDropDownList, nullptr, 163, 96, 63, 100, kStyleNone, nullptr,
     kSuspectAgeLabel},
    {kReasonLabel, K::kLabel, "Reason", 163, 111, 63, 8, kStyleNone, nullptr, 0},
    {kReasonList, K::kDropDownList, nullptr, 163, 119, 63, 80, kStyleNone, nullptr, kReasonLabel},
};

// Template 106, "Timeline Panel".
constexpr ControlTemplate kTimelineControls[] = {
    {kPlayBackwardButton, K::kPlayButton, "<", 7, 7, 20, 12, kStyleNone, "Play backward", 0},
    {kPauseButton, K::kPlayButton, "| |", 27, 7, 20, 12, kStyleNone, "Pause", 0},
    {kPlayForwardButton, K::kPlayButton, ">", 47, 7, 20, 12, kStyleNone, "Play forward", 0},
    {kWindowEndBar, K::kProgressBar, nullptr, 67, 7, 273, 12, kStyleSmooth, "Window end", 0},
    {kStepUnitList, K::kDropDownList, nullptr, 340, 7, 40, 50, kStyleNone, "Step unit", 0},
    {kPinStartButton, K::kPushButton, "[ .. ]", 7, 25, 31, 12, kStyleNone, nullptr, 0},
    {kShiftStepLabel, K::kLabel, "Shift", 50, 26, 18, 8, kStyleNone, nullptr, 0},
    {kShiftForwardButton, K::kPushButton, "+", 70, 26, 10, 10, kStyleNone, "Shift +", 0},
    {kShiftBackButton, K::kPushButton, "-", 80, 26, 10, 10, kStyleNone, "Shift -", 0},
    {kDayStepLabel, K::kLabel, "Day", 100, 26, 18, 8, kStyleNone, nullptr, 0},
    {kDayForwardButton, K::kPushButton, "+", 120, 26, 10, 10, kStyleNone, "Day +", 0},
    {kDayBackButton, K::kPushButton, "-", 130, 26, 10, 10, kStyleNone, "Day -", 0},
    {kMonthStepLabel, K::kLabel, "Month", 145, 26, 23, 8, kStyleNone, nullptr, 0},
    {kMonthForwardButton, K::kPushButton, "+", 171, 26, 10, 10, kStyleNone, "Month +", 0},
    {kMonthBackButton, K::kPushButton, "-", 181, 26, 10, 10, kStyleNone, "Month -", 0},
    {kYearStepLabel, K::kLabel, "Year", 200, 26, 18, 8, kStyleNone, nullptr, 0},
    {kYearForwardButton, K::kPushButton, "+", 220, 26, 10, 10, kStyleNone, "Year +", 0},
    {kYearBackButton, K::kPushButton, "-", 230, 26, 10, 10, kStyleNone, "Year -", 0},
    {kDateLabel, K::kLabel, "Day,January,1,2000", 260, 24, 120, 14, kStyleCentred | kStyleSunken,
     nullptr, 0},
};

// Template 103, "GIS Panel", in template order.
constexpr ControlTemplate kGisControls[] = {
    {kGisMapLabel, K::kLabel, "Map", 7, 6, 81, 8, kStyleCentred, nullptr, 0},
    {kGisMapList, K::kDropDownList, nullptr, 7, 17, 81, 43, kStyleNone, nullptr, kGisMapLabel},
    {kMajorRoadsBox, K::kCheckBox, "Major Roads", 12, 66, 69, 10, kStyleNone, nullptr, 0},
    {kGisOverlayGroup, K::kGroupBox, "Overlay", 7, 30, 81, 133, kStyleCentred, nullptr, 0},
    {kMajorRoadLabelsBox, K::kCheckBox, "Major Road Labels", 12, 78, 69, 10, kStyleNone, nullptr,
     0},
    {kHighwaysBox, K::kCheckBox, "Highways", 12, 90, 69, 10, kStyleNone, nullptr, 0},
    {kHighwayLabelsBox, K::kCheckBox, "Highway Labels", 12, 102, 69, 10, kStyleNone, nullptr, 0},
    {kStationsBox, K::kCheckBox, "DUZ Stations", 12, 114, 69, 10, kStyleNone, nullptr, 0},
    {kStationLabelsBox, K::kCheckBox, "DUZ Station Labels", 12, 126, 69, 10, kStyleNone, nullptr,
     0},
    {kHospitalsBox, K::kCheckBox, "Hospitals", 12, 138, 69, 10, kStyleNone, nullptr, 0},
    {kHospitalLabelsBox, K::kCheckBox, "Hospital Labels", 12, 150, 69, 10, kStyleNone, nullptr, 0},
    {kZipCodesBox, K::kCheckBox, "Zip Codes", 12, 42, 69, 10, kStyleNone, nullptr, 0},
    {kZipCodeLabelsBox, K::kCheckBox, "Zip Code Labels", 12, 54, 69, 10, kStyleNone, nullptr, 0},
    {kGisSelectionLabel, K::kLabel, "Selection", 7, 166, 81, 8, kStyleCentred, nullptr, 0},
    {kGisSelectionList, K::kDropDownList, nullptr, 7, 176, 81, 43, kStyleNone, nullptr,
     kGisSelectionLabel},
};

// Template 109, "Info Panel".
constexpr ControlTemplate kInfoControls[] = {
    {kInfoTextBox, K::kTextBox, nullptr, 7, 7, 178, 97, kStyleNone, "Info text", 0},
    {kInfoClearButton, K::kPushButton, "Clear", 15, 112, 50, 14, kStyleNone, nullptr, 0},
    {kInfoSaveButton, K::kPushButton, "Save", 127, 112, 50, 14, kStyleNone, nullptr, 0},
};

// Template 108, the About box: picture, the two groups, three contact
// entries (role, team, address) and the web address, the quick reference
// of the mouse and the "OK" button. The reference lines are centred on
// 174, the middle of a label at 141 that is 66 wide, and are as wide as
// their group allows so that the longest line fits the panel font.
constexpr ControlTemplate kAboutControls[] = {
    {kAboutPicture, K::kPicture, nullptr, 6, 6, 217, 73, kStyleCentred | kStyleSunken, nullptr, 0},
    {kContactGroup, K::kGroupBox, "Contact information", 12, 85, 110, 153, kStyleNone, nullptr, 0},
    {kReferenceGroup, K::kGroupBox, "Quick reference", 129, 85, 90, 153, kStyleNone, nullptr, 0},
    {kContactLine1, K::kLabel, "Development", 17, 100, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 1, K::kLabel, "Valdrin team", 17, 109, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 2, K::kLabel, "valdrin@example.org", 17, 118, 100, 8, kStyleCentred, nullptr,
     0},
    {kContactLine1 + 3, K::kLabel, "Maps and data", 17, 140, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 4, K::kLabel, "GIS unit", 17, 149, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 5, K::kLabel, "gis@example.org", 17, 158, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 6, K::kLabel, "Support", 17, 180, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 7, K::kLabel, "Help desk", 17, 189, 100, 8, kStyleCentred, nullptr, 0},
    {kContactLine1 + 8, K::kLabel, "support@example.org", 17, 198, 100, 8, kStyleCentred, nullptr,
     0},
    {kWebAddressLine, K::kLabel, "www.example.org/valdrin", 17, 221, 100, 8, kStyleCentred, nullptr,
     0},
    {kReferenceLine1, K::kLabel, "Pan view:", 131, 100, 86, 8, kStyleCentred, nullptr, 0},
    {kReferenceLine1 + 1, K::kLabel, "Right mouse", 131, 109, 86, 8, kStyleCentred, nullptr, 0},
    {kReferenceLine1 + 2, K::kLabel, "Zoom view:", 131, 128, 86, 8, kStyleCentred, nullptr, 0},
    {kReferenceLine1 + 3, K::kLabel, "Shift + Right mouse", 131, 137, 86, 8, kStyleCentred, nullptr,
     0},
    {kReferenceLine1 + 4, K::kLabel, "Move view:", 131, 156, 86, 8, kStyleCentred, nullptr, 0},
    {kReferenceLine1 + 5, K::kLabel, "Ctrl + Right mouse", 131, 165, 86, 8, kStyleCentred, nullptr,
     0},
    {kReferenceLine1 + 6, K::kLabel, "Control timeline:", 131, 184, 86, 8, kStyleCentred, nullptr,
     0},
    {kReferenceLine1 + 7, K::kLabel, "Left mouse", 131, 193, 86, 8, kStyleCentred, nullptr, 0},
    {kReferenceLine1 + 8, K::kLabel, "Make selection", 131, 212, 86, 8, kStyleCentred, nullptr, 0},
    {kReferenceLine1 + 9, K::kLabel, "Ctrl + Left mouse", 131, 221, 86, 8, kStyleCentred, nullptr,
     0},
    {kAboutOkButton, K::kDefaultButton, "OK", 94, 245, 50, 14, kStyleNone, nullptr, 0},
};

// Template 110, "Analysis Panel": how the columns are coloured, Gi*'s
// neighbourhood and false discovery rate, the events per band, and a line
// that sums the analysis up.
constexpr ControlTemplate kAnalysisControls[] = {
    {kColourByLabel, K::kLabel, "Colour by", 7, 7, 186, 8, kStyleNone, nullptr, 0},
    {kColourByList, K::kDropDownList, nullptr, 7, 16, 186, 50, kStyleNone, nullptr, kColourByLabel},
    {kNeighbourhoodLabel, K::kLabel, "Neighbourhood", 7, 33, 90, 8, kStyleNone, nullptr, 0},
    {kNeighbourhoodList, K::kDropDownList, nullptr, 7, 42, 90, 50, kStyleNone, nullptr,
     kNeighbourhoodLabel},
    {kBandScaleLabel, K::kLabel, "Band scale", 103, 33, 90, 8, kStyleNone, nullptr, 0},
    {kBandScaleList, K::kDropDownList, nullptr, 103, 42, 90, 100, kStyleNone, nullptr,
     kBandScaleLabel},
    {kFdrCheckBox, K::kCheckBox, "FDR correction", 7, 59, 186, 10, kStyleNone, nullptr, 0},
    {kAnalysisSummary, K::kLabel, "", 7, 74, 186, 11, kStyleSunken, "Summary", 0},
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
    {kAnalysisTemplate, "Analysis Panel", PanelKind::kChild, 400, 0, 200, 92, false,
     kAnalysisControls, std::size(kAnalysisControls)},
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
