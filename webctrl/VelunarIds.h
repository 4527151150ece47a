#pragma once

#include "Guid.h"

// The identities of the launcher module: class, interface and type library
// (VELUNARCTRLLib) identifiers, ProgIDs and the names they are registered
// under.
namespace velunar {

inline constexpr com::GUID kLibraryId = {
    0x73A4DCE7, 0x8F7A, 0x4A29, {0xB9, 0x0A, 0xE0, 0xF6, 0xE1, 0x7D, 0x7F, 0x15}};
inline constexpr com::IID kDispatchId = {
    0x86B8B67C, 0x8657, 0x4DD6, {0xB2, 0x9B, 0x74, 0xEA, 0x89, 0x2A, 0xE6, 0x95}};
inline constexpr com::IID kEventsId = {
    0x67C484FD, 0xAA4F, 0x47B2, {0xBE, 0xCA, 0x76, 0xC1, 0xE1, 0xFC, 0x10, 0xA1}};
inline constexpr com::CLSID kControlClassId = {
    0x6CCF2600, 0x8E27, 0x488A, {0xA4, 0xE8, 0x07, 0x36, 0xD4, 0x59, 0x99, 0x23}};
inline constexpr com::CLSID kPropPageClassId = {
    0x4E8F6C38, 0x8186, 0x40A7, {0xBD, 0x17, 0xE0, 0x08, 0x1C, 0xBF, 0x5F, 0x47}};

inline constexpr const char* kControlProgId = "VELUNARCTRL.VelunarCtrlCtrl.1";
inline constexpr const char* kPropPageProgId = "VELUNARCTRL.VelunarCtrlPropPage.1";
inline constexpr const char* kControlTypeName = "VelunarCtrl Control";
inline constexpr const char* kPropPageTypeName = "VelunarCtrl Property Page";
inline constexpr const char* kLibraryHelpString = "VelunarCtrl ActiveX Control module";
inline constexpr const char* kDispatchName = "_DVelunarCtrl";
inline constexpr const char* kEventsName = "_DVelunarCtrlEvents";
inline constexpr const char* kVersion = "1.0";

// The status bits of the control: activate when visible, client site first,
// inside-out, can't link inside, recompose on resize.
inline constexpr unsigned kMiscStatus = 0x20191;

} // namespace velunar
