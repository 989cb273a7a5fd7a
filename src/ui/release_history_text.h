#pragma once
// The release history that TfrmShengji shows: 56 lines, newest version
// first, the lines separated by CR LF.

extern const wchar_t kReleaseHistory[];
