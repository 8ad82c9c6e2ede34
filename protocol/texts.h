#pragma once
// The texts the core shows to the user, in the module's users' language, exactly as they stand.

namespace ethconf::texts {

inline constexpr const char* kFrameSize = "Nieprawidłowy rozmiar ramki!";
inline constexpr const char* kFrameFormat = "Nieprawidłowy format ramki!";
inline constexpr const char* kFrameChecksum = "Nieprawidłowa suma kontrolna ramki!";

inline constexpr const char* kPortOpenError = "Błąd otwarcia portu!";
inline constexpr const char* kPortCloseError = "Błąd zamykania portu!";
inline constexpr const char* kWriteError = "Błąd zapisu konfiguracji do urządzenia!";
inline constexpr const char* kNoResponse = "Urządzenie nie odpowiada!";
inline constexpr const char* kReadDone = "Odczyt konfiguracji z urządzenia zakończony powodzeniem.";
inline constexpr const char* kWriteDone =
    "Zapis konfiguracji do urządzenia zakończony powodzeniem.";
inline constexpr const char* kFactoryDone =
    "Przywracanie ustawień domyślnych urządzenia zakończone powodzeniem.";

inline constexpr const char* kPanelConnecting = "Łączenie...";
inline constexpr const char* kPanelConnected = "Połączony.";
inline constexpr const char* kPanelDisconnecting = "Rozłączanie...";
inline constexpr const char* kPanelDisconnected = "Rozłączony.";
inline constexpr const char* kPanelPortClosed = "Port zamknięty.";

}  // namespace ethconf::texts
