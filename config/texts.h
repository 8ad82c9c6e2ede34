#pragma once
// The configuration file's texts shown to the user, exactly as they stand.

namespace ethconf::texts {

inline constexpr const char* kFileLoadError = "Nie można wczytać pliku z konfiguracją!";
inline constexpr const char* kFileSaveError = "Nie można zapisać pliku z konfiguracją!";
inline constexpr const char* kFileOverwriteQuestion =
    "Plik o podanej nazwie już istnieje. Czy nadpisać?";

// The file dialogs: one filter entry, and the folder beside the executable they start in.
inline constexpr const char* kFileFilterDescription = "Pliki konfiguracyjne MV-7/ETH (*.eth)";
inline constexpr const char* kFileFilterPattern = "*.eth";
inline constexpr const char* kFileFolder = "Konfiguracje";

}  // namespace ethconf::texts
