#pragma once
// Names and texts of the outside world that more than one place needs.

namespace ravlo {

inline constexpr char kAppTitle[] = "Ravlo3";             // message and input box caption
inline constexpr char kWindowCaption[] = "Ravlo v3.0";
// Our web host: caption of the web button, default author text, first "Set author" example.
inline constexpr char kHostName[] = "ravlo.example.net";
inline constexpr char kWebAddress[] = "http://ravlo.example.net/";
// Host of a well-known software company: the second "Set author" example.
inline constexpr char kCompanyHostName[] = "www.microsoft.com";
// The host name the audio converter writes into its output; the batch's author step
// overwrites it with the author text, so both must have the same length.
inline constexpr char kConverterSignature[] = "DSPguru.doom9.net";
inline constexpr unsigned kAuthorTextLength = 17;

static_assert(sizeof(kHostName) - 1 == kAuthorTextLength);
static_assert(sizeof(kCompanyHostName) - 1 == kAuthorTextLength);
static_assert(sizeof(kConverterSignature) - 1 == kAuthorTextLength);

// Per-user settings store: HKCU\Software\Ravlo3\Options on Windows.
inline constexpr char kSettingsApp[] = "Ravlo3";
inline constexpr char kSettingsSection[] = "Options";
inline constexpr char kFirstRunKey[] = "FirstRun";

}  // namespace ravlo
