#pragma once
// The embedded panel's controls that the demo finds, by the numeric ids they carry as object
// names (PanelFrame::control).

namespace PanelControls {

constexpr int kGoButton = 6901;
constexpr int kStatusLine = 6909;
constexpr int kSourceBox = 6913;
constexpr int kQueryBox = 6914;
constexpr int kLocalCopyBox = 6920;
constexpr int kList = 6996;
constexpr int kNameBox = 6999;

} // namespace PanelControls
