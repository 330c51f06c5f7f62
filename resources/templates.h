// The panels' dialog templates as data: for each panel its id, caption,
// place and size, and the table of its controls (id, kind, text, place and
// size, style, and the name a screen reader announces where the text alone
// would not say what a control does). Places and sizes are dialog units of
// the panel font. One builder in panels/ turns a template into widgets, and
// tests walk the same tables. Standard library only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace valdrin {

enum class ControlKind : uint8_t {
  kLabel,          // static text
  kGroupBox,       // a titled frame around other controls
  kPushButton,     // acts on a click
  kDefaultButton,  // a push button that Enter presses
  kPlayButton,     // push-like radio button; the buttons of one panel form one group
  kCheckBox,       // two-state check box
  kDropDownList,   // a drop-down list that allows no typing
  kProgressBar,    // a bar with no text
  kTextBox,        // multi-line, read-only text
  kPicture,        // an image
};

// Style bits of a control.
enum ControlStyle : uint32_t {
  kStyleNone = 0,
  kStyleCentred = 1u << 0,  // text centred
  kStyleSunken = 1u << 1,   // sunken edge
  kStyleSmooth = 1u << 2,   // progress bar drawn in one piece
};

struct ControlTemplate {
  uint16_t id;
  ControlKind kind;
  const char* text;  // caption, or nullptr for none
  int16_t x, y, width, height;
  uint32_t style;
  // The accessible name, for controls whose text does not say what they
  // do; nullptr keeps the text (or, for a list, its label's text).
  const char* accessible_name;
  // A drop-down list's label: the id of the label that names it (0: none).
  uint16_t buddy;
};

// How a panel sits in the main window.
enum class PanelKind : uint8_t {
  kChild,  // floats in the main window's client area at its position
  kPopup,  // a window of its own, owned by the main window, centred
};

struct PanelTemplate {
  uint16_t id;
  const char* caption;
  PanelKind kind;
  int16_t x, y, width, height;
  bool visible_at_start;
  const ControlTemplate* controls;
  size_t control_count;
};

// Template ids, in the order the panels are created at start-up.
constexpr uint16_t kGisTemplate = 103;
constexpr uint16_t kQueryTemplate = 101;
constexpr uint16_t kTimelineTemplate = 106;
constexpr uint16_t kInfoTemplate = 109;
constexpr uint16_t kAboutTemplate = 108;
constexpr uint16_t kAnalysisTemplate = 110;

constexpr uint16_t kPanelCreationOrder[] = {kGisTemplate,  kQueryTemplate, kTimelineTemplate,
                                            kInfoTemplate, kAboutTemplate, kAnalysisTemplate};

// Control ids, by panel: the only place the numbers are written. The
// tables in templates.cpp and the panels' code use these names.

// Query Panel: the thirteen lists and the labels and groups round them.
// clang-format off
enum QueryControl : uint16_t {
  kShiftList = 1001,          kOfficerCountList = 1002,   kOfficerRaceList = 1003,
  kOfficerGenderList = 1004,  kResponseList = 1005,       kSuspectCountList = 1006,
  kSuspectRaceList = 1007,    kSuspectGenderList = 1008,  kSuspectAgeList = 1009,
  kReasonList = 1010,         kDivisionList = 1011,       kSuccessfulList = 1012,
  kInjuryList = 1013,         kShiftLabel = 1050,         kDivisionLabel = 1051,
  kSuccessfulLabel = 1052,    kInjuryLabel = 1053,        kOfficerCountLabel = 1054,
  kOfficerRaceLabel = 1055,   kOfficerGenderLabel = 1056, kResponseLabel = 1057,
  kSuspectCountLabel = 1058,  kSuspectRaceLabel = 1059,   kOutcomeGroup = 1060,
  kOfficerGroup = 1061,       kSuspectGroup = 1062,       kSuspectGenderLabel = 1063,
  kSuspectAgeLabel = 1064,    kReasonLabel = 1065,
};
// clang-format on

// The Query Panel's list of each filterable field, in the order of the
// fields (core/query.h) and of the filling of the lists.
constexpr uint16_t kQueryLists[] = {
    kShiftList,         kDivisionList,      kSuccessfulList, kInjuryList,       kOfficerCountList,
    kOfficerRaceList,   kOfficerGenderList, kResponseList,   kSuspectCountList, kSuspectRaceList,
    kSuspectGenderList, kSuspectAgeList,    kReasonList,
};

// Timeline Panel.
// clang-format off
enum TimelineControl : uint16_t {
  kPlayForwardButton = 1018,  kPauseButton = 1019,        kPlayBackwardButton = 1020,
  kWindowEndBar = 1023,       kShiftStepLabel = 1028,     kStepUnitList = 1029,
  kShiftForwardButton = 1030, kShiftBackButton = 1031,    kDayStepLabel = 1032,
  kDayForwardButton = 1033,   kDayBackButton = 1034,      kMonthStepLabel = 1035,
  kMonthForwardButton = 1036, kMonthBackButton = 1037,    kYearStepLabel = 1038,
  kYearForwardButton = 1039,  kYearBackButton = 1040,     kDateLabel = 1044,
  kPinStartButton = 1046,
};
// clang-format on

// GIS Panel.
// clang-format off
enum GisControl : uint16_t {
  kGisMapLabel = 1003,        kGisMapList = 1004,         kMajorRoadsBox = 1005,
  kMajorRoadLabelsBox = 1006, kHighwaysBox = 1007,        kHighwayLabelsBox = 1008,
  kStationsBox = 1009,        kStationLabelsBox = 1010,   kHospitalsBox = 1011,
  kZipCodesBox = 1012,        kHospitalLabelsBox = 1013,  kZipCodeLabelsBox = 1014,
  kGisSelectionLabel = 1015,  kGisSelectionList = 1016,   kGisOverlayGroup = 1024,
};
// clang-format on

// The check box of each overlay bit, in bit order.
constexpr uint16_t kOverlayCheckBoxes[] = {
    kZipCodesBox,  kZipCodeLabelsBox,  kMajorRoadsBox, kMajorRoadLabelsBox,
    kHighwaysBox,  kHighwayLabelsBox,  kStationsBox,   kStationLabelsBox,
    kHospitalsBox, kHospitalLabelsBox,
};

// Analysis Panel.
// clang-format off
enum AnalysisControl : uint16_t {
  kColourByLabel = 1070,      kColourByList = 1071,       kNeighbourhoodLabel = 1072,
  kNeighbourhoodList = 1073,  kFdrCheckBox = 1074,        kBandScaleLabel = 1075,
  kBandScaleList = 1076,      kAnalysisSummary = 1077,
};
// clang-format on

// Info Panel.
enum InfoControl : uint16_t {
  kInfoTextBox = 1035,
  kInfoClearButton = 1045,
  kInfoSaveButton = 1046,
};

// About box: the picture, the groups, the contact and reference lines, OK.
// clang-format off
enum AboutControl : uint16_t {
  kAboutOkButton = 1036,  kAboutPicture = 1037,   kContactGroup = 1038,
  kReferenceGroup = 1039,
  kContactLine1 = 1040,  // lines 1-9: role, team, address of three contacts
  kWebAddressLine = 1059,
  kReferenceLine1 = 1049,  // lines 1-10: gesture and its mouse buttons, five times
};
// clang-format on

// The template with id `id`, or nullptr when there is none.
const PanelTemplate* find_template(uint16_t id);

// The control with id `id` in `panel`, or nullptr when it has none.
const ControlTemplate* find_control_template(const PanelTemplate& panel, uint16_t id);

}  // namespace valdrin
