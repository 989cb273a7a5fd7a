#pragma once
// The messages of the autostart value's failures, shared by the Windows
// implementation and the recording one.

#include <string>

inline std::string invalidDataTypeMessage(const std::string& name) {
  return "Invalid data type for '" + name + "'";
}

inline std::string failedToSetDataMessage(const std::string& name) {
  return "Failed to set data for '" + name + "'";
}
