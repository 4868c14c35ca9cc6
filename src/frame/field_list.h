// Every control of the main window, declared once, in window order (pages left to right, the
// row under the tabs, then the menus). The order is also the Tab-key order within a page, the
// order of the control ids and of the state dump.
//
// This is an X-macro list: each includer defines the entries it needs and includes the file;
// entries left undefined expand to nothing, and every entry macro is undefined again at the end.
//
//   RAVLO_FIELD(name, Kind, caption, page, key, control, label, start, tip)
//       a field shown by one control, with its caption in a label beside it (label) or on the
//       control itself (NO_LABEL). A label left of its control comes before it in Tab order,
//       so that its access key moves the focus to the control.
//   RAVLO_PICTURE(name, page, control, icon, start, tip)   an icon whose field has a visible flag
//   RAVLO_FRAME(name, page, box, text, key)            a group box; no field
//   RAVLO_LABEL(page, box, text)                       a label of no field
//   RAVLO_POPUP(name, caption)                         a menu of the menu bar
//   RAVLO_MENU(name, Kind, caption, shortcut, start)   a menu command (Menu or MenuCheck)
//   RAVLO_SEPARATOR()                                  a line between menu commands
//
// Entries inside `#if RAVLO_LINUX_ROAD` are the Linux road's own choices: the Windows program
// has neither their controls nor their fields in its lists, so its window and files stay as
// they are. Only the record's members exist there too (RAVLO_FIELD_MEMBERS), read as empty.
//
//   page:     Video, Audio, Subtitles, Preferences, Advanced, or Row (the row under the tabs)
//   box:      AT(x, y, cx, cy) in dialog units, relative to the page (the row: to its corner)
//   key:      the caption's letter to underline, 0 for none
//   shortcut: KEY(virtual key, text), CTRL_KEY(virtual key, text) or NO_KEY
//   start:    START(designated initialisers of FieldStart): group, read-only, text, items,
//             value and flags after start-up
//   tip:      what the control is for, in a line, shown when the pointer rests on it

#ifndef RAVLO_FIELD
#define RAVLO_FIELD(name, kind, caption, page, key, control, label, start, tip)
#endif
#ifndef RAVLO_PICTURE
#define RAVLO_PICTURE(name, page, control, icon, start, tip)
#endif
#ifndef RAVLO_FRAME
#define RAVLO_FRAME(name, page, box, text, key)
#endif
#ifndef RAVLO_LABEL
#define RAVLO_LABEL(page, box, text)
#endif
#ifndef RAVLO_POPUP
#define RAVLO_POPUP(name, caption)
#endif
#ifndef RAVLO_MENU
#define RAVLO_MENU(name, kind, caption, shortcut, start)
#endif
#ifndef RAVLO_SEPARATOR
#define RAVLO_SEPARATOR()
#endif
#if !defined(_WIN32) || defined(RAVLO_FIELD_MEMBERS)
#define RAVLO_LINUX_ROAD 1
#else
#define RAVLO_LINUX_ROAD 0
#endif

// ---- Video ----------------------------------------------------------------------------------
RAVLO_FRAME(fraInfo, Video, AT(4, 2, 276, 66), "Info", 0)
RAVLO_FIELD(txtTitle, Text, "Title:", Video, 'T', AT(48, 14, 40, 12), AT(12, 16, 34, 8), START(),
            "Number of the program chain to convert (one of the PGC list)")
RAVLO_FIELD(txtAngle, Text, "Angle:", Video, 'g', AT(48, 30, 40, 12), AT(12, 32, 34, 8), START(),
            "Camera angle to take where the chain has several; 1 on most discs")
RAVLO_FIELD(cmbPGC, Combo, "PGC:", Video, 'P', AT(48, 46, 150, 120), AT(12, 48, 34, 8), START(),
            "Program chains of the title set and their lengths; the longest is usually the film")
// The two pictures share one place; the record decides which one is visible.
RAVLO_PICTURE(picInfo_on, Video, AT(240, 24, 24, 24), IDI_INFO_ON, START(.visible = false),
            "A title set is loaded: its standard, shape, chains and streams are shown")
RAVLO_PICTURE(picInfo_off, Video, AT(240, 24, 24, 24), IDI_INFO_OFF, START(),
            "No title set loaded yet: open an IFO file, a disc folder or an image")
RAVLO_FRAME(fraType, Video, AT(4, 72, 84, 62), "Type", 0)
RAVLO_FIELD(optPAL, Option, "PAL", Video, 'A', AT(14, 88, 64, 10), NO_LABEL, START(.group = "Type"),
            "The disc's video standard, PAL (25 frames a second), as read from the disc")
RAVLO_FIELD(optNTSC, Option, "NTSC", Video, 'N', AT(14, 106, 64, 10), NO_LABEL, START(.group = "Type"),
            "The disc's video standard, NTSC (29.97 frames a second), as read from the disc")
RAVLO_FRAME(fraAR, Video, AT(96, 72, 84, 62), "Aspect Ratio", 0)
RAVLO_FIELD(opt16_9, Option, "16:9", Video, '1', AT(106, 88, 64, 10), NO_LABEL, START(.group = "Aspect"),
            "The picture is widescreen (16:9), as read from the disc")
RAVLO_FIELD(opt4_3, Option, "4:3", Video, '4', AT(106, 106, 64, 10), NO_LABEL, START(.group = "Aspect"),
            "The picture is 4:3, as read from the disc")
RAVLO_FRAME(fraLength, Video, AT(188, 72, 92, 62), "Length", 0)
RAVLO_FIELD(txtFra, Text, "frames", Video, 0, AT(196, 84, 40, 12), AT(240, 86, 36, 8), START(.readOnly = true),
            "Length of the chosen chain in frames")
RAVLO_FIELD(txtMin, Text, "minutes", Video, 0, AT(196, 100, 40, 12), AT(240, 102, 36, 8), START(.readOnly = true),
            "Length of the chosen chain in whole minutes")
RAVLO_FIELD(txtSec, Text, "seconds", Video, 0, AT(196, 116, 40, 12), AT(240, 118, 36, 8), START(.readOnly = true),
            "Length of the chosen chain in seconds")
#if RAVLO_LINUX_ROAD
RAVLO_FRAME(fraOutput, Video, AT(4, 136, 276, 26), "Output", 0)
RAVLO_FIELD(cmbVideo, Combo, "Video:", Video, 'd', AT(48, 145, 64, 100), AT(12, 147, 34, 8),
            START(.text = "H.264", .items = "H.264|H.265|XviD|AV1"),
            "The video codec: H.264 plays everywhere, H.265 gives a better picture at the same size, "
            "XviD is the old road's")
RAVLO_FIELD(cmbContainer, Combo, "File:", Video, 'F', AT(160, 145, 64, 100), AT(124, 147, 34, 8),
            START(.text = "MKV", .items = "MKV|MP4|AVI"),
            "MKV or MP4: one file with the audio, subtitles (MKV) and chapters; AVI: the video with "
            "the audio and subtitles in files beside it")
RAVLO_FRAME(fraTitles, Video, AT(4, 166, 276, 58), "Several titles", 0)
RAVLO_FIELD(lstTitles, CheckedList, "", Video, 0, AT(12, 178, 170, 40), NO_LABEL, START(),
            "Tick two or more chains to make each its own file, the medium shared by what their "
            "pictures need; none ticked: the Title above alone")
RAVLO_FIELD(chkSizeEach, Check, "Each its own medium", Video, 'E', AT(190, 180, 86, 10), NO_LABEL, START(),
            "Each ticked title fills a medium of the chosen size, instead of all together filling one")
#endif

// ---- Audio ----------------------------------------------------------------------------------
RAVLO_FRAME(fraAL, Audio, AT(4, 2, 158, 160), "Audio streams list", 'l')
RAVLO_FIELD(lstAL, CheckedList, "", Audio, 0, AT(12, 14, 142, 124), NO_LABEL, START(),
            "Audio streams of the title set: tick those to keep; the order of ticking is the track order")
RAVLO_FIELD(cmdASA, Button, "Select all", Audio, 'a', AT(12, 142, 66, 14), NO_LABEL, START(),
            "Tick every audio stream")
RAVLO_FIELD(cmdASN, Button, "Select none", Audio, 'n', AT(88, 142, 66, 14), NO_LABEL, START(),
            "Untick every audio stream")
RAVLO_FRAME(fraAO, Audio, AT(168, 2, 112, 160), "Audio streams order", 0)
RAVLO_FIELD(lstAO_code, List, "", Audio, 0, AT(176, 14, 42, 142), NO_LABEL, START(),
            "The ticked audio streams in track order, by stream id")
RAVLO_FIELD(lstAO_name, List, "", Audio, 0, AT(220, 14, 54, 142), NO_LABEL, START(),
            "The ticked audio streams in track order, by language")

// ---- Subtitles ------------------------------------------------------------------------------
RAVLO_FRAME(fraSL, Subtitles, AT(4, 2, 158, 160), "Subtitles list", 'l')
RAVLO_FIELD(lstSL, CheckedList, "", Subtitles, 0, AT(12, 14, 142, 124), NO_LABEL, START(),
            "Subtitle streams of the title set: tick those to keep; the order of ticking is the track order")
RAVLO_FIELD(cmdSSA, Button, "Select all", Subtitles, 'a', AT(12, 142, 66, 14), NO_LABEL, START(),
            "Tick every subtitle stream")
RAVLO_FIELD(cmdSSN, Button, "Select none", Subtitles, 'n', AT(88, 142, 66, 14), NO_LABEL, START(),
            "Untick every subtitle stream")
RAVLO_FRAME(fraSO, Subtitles, AT(168, 2, 112, 160), "Subtitles order", 0)
RAVLO_FIELD(lstSO_code, List, "", Subtitles, 0, AT(176, 14, 42, 142), NO_LABEL, START(),
            "The ticked subtitle streams in track order, by stream id")
RAVLO_FIELD(lstSO_name, List, "", Subtitles, 0, AT(220, 14, 54, 142), NO_LABEL, START(),
            "The ticked subtitle streams in track order, by language")

// ---- Preferences ----------------------------------------------------------------------------
RAVLO_FRAME(fraSub, Preferences, AT(4, 2, 276, 32), "Subtitles", 0)
RAVLO_LABEL(Preferences, AT(12, 17, 34, 8), "Format:")
RAVLO_FIELD(optSub_VOBSUB, Option, "VOBSUB", Preferences, 'V', AT(50, 16, 56, 10), NO_LABEL,
            START(.group = "Subtitles", .value = true),
            "Subtitles as pictures, exactly as on the disc (an .idx/.sub pair)")
RAVLO_FIELD(optSub_SRT, Option, "SRT", Preferences, 'R', AT(110, 16, 44, 10), NO_LABEL,
            START(.group = "Subtitles"),
            "Subtitles as text files you provide yourself (0x20.srt, ...), put beside the movie")
RAVLO_FRAME(fraAud, Preferences, AT(4, 38, 276, 70), "Audio", 0)
RAVLO_LABEL(Preferences, AT(12, 53, 34, 8), "Format:")
RAVLO_FIELD(optAud_AC3, Option, "AC3", Preferences, 'C', AT(50, 52, 40, 10), NO_LABEL,
            START(.group = "Audio"),
            "Audio as AC3, the disc's own format (Original keeps the stream untouched)")
RAVLO_FIELD(optAud_OGG, Option, "OGG", Preferences, 'G', AT(94, 52, 40, 10), NO_LABEL,
            START(.group = "Audio"),
            "Audio as Ogg Vorbis: small files, the quality chosen on a scale")
RAVLO_FIELD(optAud_MP3, Option, "MP3", Preferences, 'M', AT(138, 52, 40, 10), NO_LABEL,
            START(.group = "Audio", .value = true),
            "Audio as MP3 at the bitrate chosen under Quality")
#if RAVLO_LINUX_ROAD
RAVLO_FIELD(optAud_AAC, Option, "AAC", Preferences, 'A', AT(182, 52, 40, 10), NO_LABEL,
            START(.group = "Audio"),
            "Audio as AAC at the bitrate chosen under Quality (MKV and MP4 only)")
RAVLO_FIELD(optAud_OPUS, Option, "Opus", Preferences, 'u', AT(226, 52, 44, 10), NO_LABEL,
            START(.group = "Audio"),
            "Audio as Opus at the bitrate chosen under Quality: the best at low bitrates (MKV and MP4 only)")
#endif
RAVLO_FIELD(cmbAudQual, Combo, "Quality:", Preferences, 'Q', AT(50, 72, 64, 120), AT(12, 74, 34, 8), START(),
            "Bitrate of each audio track in kbit/s; more takes room from the video")
RAVLO_FIELD(chkOrig, Check, "Original", Preferences, 'i', AT(126, 73, 56, 10), NO_LABEL,
            START(.visible = false),
            "Keep the disc's AC3 stream as it is, without encoding it again")
RAVLO_FIELD(chk51, Check, "5.1 (6ch)", Preferences, '5', AT(188, 73, 64, 10), NO_LABEL,
            START(.enabled = false),
            "Keep all six channels of a 5.1 stream instead of mixing them down to two")
RAVLO_FRAME(fraMS, Preferences, AT(4, 112, 276, 32), "Media size", 's')
RAVLO_FIELD(cmbMS, Combo, "MB", Preferences, 0, AT(12, 125, 64, 120), AT(80, 127, 24, 8),
            START(.text = "699", .items = "349|699|746|896|1120|1493|2048|4478"),
            "Size of the medium the results must fill, in MB (type any size; the list suggests some)")

// ---- Advanced -------------------------------------------------------------------------------
RAVLO_FRAME(fraAdAud, Advanced, AT(4, 2, 276, 48), "Audio", 0)
RAVLO_FIELD(cmbBS_DC, Combo, "Dynamic Compression:", Advanced, 'D', AT(100, 14, 76, 100),
            AT(12, 16, 84, 8), START(.text = "normal", .items = "none|light|normal|heavy"),
            "Narrow the gap between quiet and loud passages")
RAVLO_FIELD(cmbBS_CM, Combo, "Channels mode:", Advanced, 'C', AT(100, 30, 76, 100),
            AT(12, 32, 84, 8), START(.text = "surround2", .items = "stereo|surround|surround2"),
            "How more than two channels are mixed down to two")
RAVLO_FRAME(fraAdVid, Advanced, AT(4, 54, 276, 108), "Video", 0)
RAVLO_FRAME(fraAC, Advanced, AT(10, 66, 84, 90), "AutoCrop", 0)
RAVLO_FIELD(chkAC, Check, "Enabled", Advanced, 'E', AT(18, 80, 68, 10), NO_LABEL, START(.value = true),
            "Remove the black borders, found in frames across the title")
RAVLO_FIELD(txtAC_Threshold, Text, "Threshold:", Advanced, 'T', AT(58, 96, 28, 12), AT(18, 98, 38, 8),
            START(.text = "20"),
            "How dark a line must be to count as black border (0 to 255)")
RAVLO_FIELD(txtAC_Samples, Text, "Samples:", Advanced, 'S', AT(58, 112, 28, 12), AT(18, 114, 38, 8),
            START(.text = "10"),
            "How many frames are looked at to find the borders (1 to 10000)")
RAVLO_FRAME(fraResize, Advanced, AT(100, 66, 84, 90), "Resize", 'R')
RAVLO_FIELD(chkResize, Check, "Enabled", Advanced, 'b', AT(108, 80, 68, 10), NO_LABEL, START(.value = true),
            "Scale the picture to 640 pixels wide in its display shape")
RAVLO_FIELD(cmbResize, Combo, "", Advanced, 0, AT(108, 96, 68, 100), NO_LABEL,
            START(.text = "Lanczos", .items = "Lanczos|Bicubic|Bilinear"),
            "The filter that scales the picture: Lanczos is the sharpest, Bilinear the softest")
RAVLO_FRAME(fraMisc, Advanced, AT(190, 66, 84, 90), "XviD", 0)
RAVLO_FIELD(chkForceFilm, Check, "Force Film", Advanced, 'i', AT(198, 80, 70, 10), NO_LABEL, START(),
            "Treat NTSC film material as 23.976 frames a second")
RAVLO_FIELD(chkDeinterlace, Check, "Deinterlace", Advanced, 'n', AT(198, 94, 70, 10), NO_LABEL, START(),
            "Smooth the comb lines of interlaced video")
RAVLO_FIELD(chkIVTC, Check, "IVTC", Advanced, 'V', AT(198, 108, 70, 10), NO_LABEL, START(),
            "Inverse telecine: restore the film frames of telecined video")
RAVLO_FIELD(cmdCfgCodec, Button, "Configure", Advanced, 'g', AT(198, 134, 64, 14), NO_LABEL, START(),
            "Open the XviD encoder's own settings")

// ---- Row under the tabs ---------------------------------------------------------------------
RAVLO_FIELD(txtVB, Text, "Video:", Row, 0, AT(30, 4, 40, 12), AT(4, 6, 24, 8), START(.readOnly = true),
            "Video bitrate in kbit/s: what the medium leaves for the picture after the audio and subtitles")
RAVLO_FIELD(txtAB, Text, "Audio:", Row, 0, AT(106, 4, 40, 12), AT(80, 6, 24, 8), START(.readOnly = true),
            "Audio bitrate in kbit/s of all the ticked audio streams together")
RAVLO_FIELD(cmdJO, Button, kHostName, Row, 0, AT(200, 3, 92, 14), NO_LABEL, START(),
            "Open the program's web site in the browser")

// ---- Menus ----------------------------------------------------------------------------------
// The separators are where the user expects groups of commands.
RAVLO_POPUP(mnuFile, "&File")
RAVLO_MENU(mnuNew, Menu, "&New", NO_KEY, START())
RAVLO_MENU(mnuOpen, Menu, "&Open IFO", KEY(VK_F5, "F5"), START())
RAVLO_SEPARATOR()
RAVLO_MENU(mnuSave, Menu, "&Save", KEY(VK_F6, "F6"), START(.enabled = false))
RAVLO_MENU(mnuSaveAs, Menu, "Save &As", KEY(VK_F7, "F7"), START(.enabled = false))
RAVLO_SEPARATOR()
RAVLO_MENU(mnuSaveRun, Menu, "Save && &Run", KEY(VK_F8, "F8"), START(.enabled = false))
RAVLO_SEPARATOR()
RAVLO_MENU(mnuExit, Menu, "E&xit", NO_KEY, START())
RAVLO_POPUP(mnuOptions, "&Options")
RAVLO_MENU(chkDelTemp, MenuCheck, "&Delete temporary files", CTRL_KEY('D', "Ctrl+D"), START(.value = true))
RAVLO_MENU(chkDelLogs, MenuCheck, "Delete &logs", CTRL_KEY('L', "Ctrl+L"), START(.value = true))
RAVLO_MENU(chkShutDown, MenuCheck, "&Shut down computer", CTRL_KEY('S', "Ctrl+S"), START())
RAVLO_SEPARATOR()
RAVLO_MENU(mnuSetAuthor, Menu, "Set author...", NO_KEY, START())
RAVLO_POPUP(mnuHA, "?")
RAVLO_MENU(mnuHelp, Menu, "Help", KEY(VK_F1, "F1"), START())
RAVLO_MENU(mnuAbout, Menu, "&About...", NO_KEY, START())

#undef RAVLO_FIELD
#undef RAVLO_PICTURE
#undef RAVLO_FRAME
#undef RAVLO_LABEL
#undef RAVLO_POPUP
#undef RAVLO_MENU
#undef RAVLO_SEPARATOR
#undef RAVLO_LINUX_ROAD
