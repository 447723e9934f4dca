#pragma once
// Every file the program keeps beside itself while it works, and the
// archive it makes: a working path is programDir followed by a name here,
// which begins with "\".
#include "program_dir.h"

// The working copies of the chosen picture: the intake writes them, the
// build converts the PNG copy and removes both.
inline constexpr char kJpegCopy[] = "\\TarvexForge.jpg";
inline constexpr char kPngCopy[] = "\\TarvexForge.png";
// The build's copy of the PNG copy, which the conversion script looks for,
// and the texture the script makes.
inline constexpr char kBakCopy[] = "\\TarvexForge.bak";
inline constexpr char kTexture[] = "\\TarvexForge.dds";
// The carried files, written at start and removed at the end.
inline constexpr char kColorEcho[] = "\\colorecho.exe";
inline constexpr char kDdsConv[] = "\\ddsconv.exe";
inline constexpr char kConversionScript[] = "\\PNG_To_DDS.cmd";
// Held open while the program runs: one copy per program folder. Hidden and
// system, deleted when the program ends.
inline constexpr char kFolderLock[] = "\\TarvexForge.lock";
// The staging tree the package is laid out in; the archive's entries are
// these paths relative to the staging folder.
inline constexpr char kStagingFolder[] = "\\zip";
inline constexpr char kStagedDataFolder[] = "\\zip\\Data";
inline constexpr char kStagedScreenFolder[] = "\\zip\\Data\\LoadingScreen";
inline constexpr char kStagedNote[] = "\\zip\\Data\\Tarvex Forge.txt";
inline constexpr char kStagedTexture[] = "\\zip\\Data\\LoadingScreen\\SRBackground.dds";
// The archive's name on the desktop, and the suffix of the file it is
// written to until it is complete.
inline constexpr char kArchiveName[] = "Tarvex Forge载入背景一键制作.zip";
inline constexpr char kUnfinishedArchiveSuffix[] = ".tmp";

// programDir followed by one of the names above.
inline Text workingPath(const char* name) { return joinText(programDir(), name); }
