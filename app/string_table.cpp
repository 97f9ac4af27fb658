#include "string_table.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace app {
namespace {

struct Entry {
    int id;
    const char* text; // UTF-8
};

// Sorted by number.
constexpr Entry kTexts[] = {
    {65200, "Pegel [dB]"},
    {65201, "Skalen"},
    {65202, "Maximum Y-Achse"},
    {65203, "Minimum Y-Achse"},
    {65204, "Schrittw. Y-Achse"},
    {65205, "Grafik"},
    {65206, "Signalverarbeitung"},
    {65207, "Farben"},
    {65208, "Ändern"},
    {65209, "Kommentar"},
    {65210, " Oszilloskop "},
    {65211, " FFT "},
    {65212, " Oktavanalyse "},
    {65213, "Analyse"},
    {65214, "Soundeingang testen"},
    {65215, "Standard"},
    {65216, "Hell"},
    {65217, "Schließen"},
    {65218, "Fenster"},
    {65219, "Speicher"},
    {65220, "Extras"},
    {65221, "Mittelung"},
    {65222, "Auflösung"},
    {65223, "Sehr Langsam"},
    {65224, "Langsam"},
    {65225, "Schnell"},
    {65226, "Keine"},
    {65227, "&Export last measured Spectrum"},
    {65228, "Eingang"},
    {65229, "Die Aufnahme wurde beendet, weil das Eingangsgerät nicht mehr liefert:\n%1"},
    {65230, "Die Einstellungen konnten nicht gespeichert werden:\n%1"},
    {65231, "Die Hilfe wurde nicht gefunden:\n%1"},
    {65232, "Es sind keine Spektren gespeichert."},
    {65233, "Es liegt noch keine Messung der Oktavanalyse vor."},
    {65236, "Spektren öffnen"},
    {65237, "Speicher Oszilloskop"},
    {65238, "Speicher FFT"},
    {65239, "Speicher RTA"},
    {65240, "support.html"},
    {65241, "Windows-Standard"},
    {65244, "Alles löschen"},
    {65245, "Eingangslautstärke"},
    {65246, "Einstellungen"},
    {65248, "Es wurde keine Soundkarte gefunden! Unter Windows 7 kann das auch bedeuten, dass "
            "kein Gerät an den Eingang angeschlossen ist. Bitte verbinden Sie ein Soundgerät "
            "z.B. via USB oder überprüfen Sie den Eingang."},
    {65249, "Hilfe"},
    {65250, "Datei"},
    {65251, "&Beenden"},
    {65252, "help"},
    {65275, "Drevmark"},
    {65276, "1.2"},
    {65277, "Spectrion"},
    {65300, "Pegel [dBFS]"},
    {65400, "Die Einstellungen konnten nicht gespeichert werden. Prüfen Sie, ob die Datei %1 und "
            "ihr Ordner beschreibbar sind und der Datenträger Platz hat, oder wählen Sie mit "
            "--settings eine andere Datei.\nTechnische Angabe: %2"},
    {65401, "Das Minimum der Y-Achse muss unter ihrem Maximum liegen. Der vorige Wert gilt "
            "weiter."},
    {65402, "Die Schrittweite der Y-Achse muss größer als 0 dB sein. Der vorige Wert gilt "
            "weiter."},
    {65403, "Mit dieser Schrittweite hätte die Y-Achse mehr als 100 Gitterlinien. Der vorige "
            "Wert gilt weiter."},
    {65404, "Die Grenzen der X-Achse müssen zwischen 1 Hz und 24000 Hz liegen. Der vorige Wert "
            "gilt weiter."},
    {65405, "Das Minimum der X-Achse muss unter ihrem Maximum liegen. Der vorige Wert gilt "
            "weiter."},
    {65406, "Das zuletzt gewählte Eingangsgerät „%1“ ist nicht vorhanden; aufgenommen wird vom "
            "Windows-Standard."},
    {65410, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät ist nicht vorhanden."},
    {65411, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät wird von einem anderen "
            "Programm benutzt."},
    {65412, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät ist nicht verfügbar. Ist es "
            "angeschlossen, und läuft der Soundserver?"},
    {65413, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät kann nicht mit 16 Bit, mono, "
            "48000 Hz aufnehmen."},
    {65414, "Die Aufnahme konnte nicht beginnen: Es ist nicht genug Speicher frei."},
    {65415, "Die Aufnahme konnte nicht beginnen."},
    {65416, "Technische Angabe: %1"},
    {65420, "Es konnte kein Webbrowser gestartet werden, um %1 zu zeigen. Installieren Sie einen "
            "Browser und das Paket xdg-utils (z. B. „apt install xdg-utils firefox-esr“)."},
    {65421, "Es ist kein Mixer für die Eingänge installiert. Installieren Sie pavucontrol (z. B. "
            "„apt install pavucontrol“), um die Eingangslautstärke einzustellen."},
    {65430, "Eingang: %1"},
    {65431, "%1 Hz"},
    {65432, "Block %1"},
    {65433, "verloren: %1 Blöcke"},
    {65434, "Überläufe: %1"},
    {65435, "liefert nichts!"},
    {65436, "Datei mit %1 Hz, umgerechnet auf %2 Hz"},
    {65437, "Kanal %1 von %2"},
    {65438, "%1 Kanäle gemischt"},
    {65439, "ungültige Abtastwerte ersetzt: %1"},
    {65440, "gestoppt"},
    {65441, "Verlorene Blöcke"},
    {65500, "Generator …"},
    {65501, "Generator"},
    {65502, "Ausgang"},
    {65503, "Signal"},
    {65504, "Rosa Rauschen"},
    {65505, "Weißes Rauschen"},
    {65506, "Sinus"},
    {65507, "Gleitsinus"},
    {65508, "Frequenz [Hz]"},
    {65509, "Startfrequenz [Hz]"},
    {65510, "Endfrequenz [Hz]"},
    {65511, "Dauer [s]"},
    {65512, "Pegel [dBFS, Effektivwert]"},
    {65513, "Pegel [dBFS, Spitzenwert]"},
    {65514, "Start"},
    {65515, "Stop"},
    {65516, "Der Generator wurde beendet, weil das Ausgabegerät nicht mehr spielt:\n%1"},
    {65517, "Der Generator konnte nicht starten:\n%1"},
    {65518, "Die Einstellungen des Generators konnten nicht gespeichert werden:\n%1"},
    {65700, "Bezug"},
    {65701, "dBFS"},
    {65702, "dB SPL"},
    {65703, "dB (Rohwert)"},
    {65704, "Kalibriert: %1 dB (%2)"},
    {65705, "Nicht kalibriert"},
    {65706, "Kalibrieren …"},
    {65707, "Mikrofon-Korrekturdatei …"},
    {65708, "Bewertung"},
    {65709, "Kurve"},
    {65710, "Momentan"},
    {65711, "Leq"},
    {65712, "Max"},
    {65713, "Reset"},
    {65714, "Kalibrierung"},
    {65715, "Pegel des Kalibrators [dB SPL]"},
    {65716, "Frequenz des Kalibrators [Hz]"},
    {65717, "Messen"},
    {65718, "Versatz dB SPL − dBFS [dB]"},
    {65719, "Übernehmen"},
    {65720, "Messung läuft …"},
    {65721, "Die Kalibrierung wurde abgelehnt: Am Eingang liegt kein Signal an."},
    {65722, "Die Kalibrierung wurde abgelehnt: Der Pegel schwankt um %1 dB (erlaubt sind %2 dB), "
            "der Ton ist nicht gleichmäßig."},
    {65723, "Die Kalibrierung wurde abgelehnt: Das Terzband um %1 Hz enthält nur %2 % der Leistung "
            "(nötig sind %3 %); der stärkste Anteil liegt bei %4 Hz."},
    {65724, "Kalibriert: %1 dB SPL bei %2 Hz entsprechen %3 dBFS, Versatz %4 dB."},
    {65725, "Die Korrekturdatei \"%1\" enthält keine Zeile mit Frequenz und Pegel; nichts wurde "
            "geändert."},
    {65726, "Zeile %1 der Korrekturdatei \"%2\" ist keine Zeile aus Frequenz und Pegel: \"%3\"; "
            "nichts wurde geändert."},
    {65727, "Die Korrekturdatei \"%1\" konnte nicht gelesen werden: %2"},
    {65728, "Korrekturdateien (*.txt *.frd *.cal);;Alle Dateien (*)"},
    {65729, "Keine Korrektur"},
    {65730, "Pegel [%1]"},
    {65731, "Die Einstellungen konnten nicht gespeichert werden:\n%1"},
    {65732,
     "Bitte geben Sie Pegel und Frequenz als Zahlen ein (Frequenz zwischen 20 Hz und 20 kHz)."},
    {65733, "Die Kalibrierung ist gescheitert: Es kamen keine Messdaten vom Eingang."},
    {65734, "Spitze"},
    {65735, "Noch nicht kalibriert."},
    {65800, "Alle gespeicherten Messungen löschen?"},
    {65801, "Gespeicherte Messungen wurden seit dem letzten Sichern geändert. Vor dem Beenden "
            "sichern?"},
    {65802, "Als CSV exportieren …"},
    {65803, "Aktuelle Messung"},
    {65804, "Speicher %1"},
    {65805, "Es gibt weder eine Messung noch einen angezeigten Speicher zum Exportieren."},
    {65806, "Einheit"},
    {65809, "Datum"},
    {65810, "Mitte [Hz]"},
    {65811, "Untere Grenze [Hz]"},
    {65812, "Obere Grenze [Hz]"},
    {65813, "Nicht aufgenommen (anderer Bandplan oder Bezug)"},
    {65814, "Amplitude 1 der Transformation (nicht kalibriert)"},
    {65815, "keine (Z)"},
    {65816, "1/%1 Oktave"},
    {65817, "Die gewählten Speicher haben verschiedene Bandpläne und lassen sich nicht "
            "verrechnen."},
    {65818, "Bitte mindestens einen Quellspeicher mit Messung wählen."},
    {65819, "Leistungssumme von %1"},
    {65820, "Leistungsdifferenz %1"},
    {65821, "Leistungsmittel von %1"},
    {65822, "Speicher %1 enthält eine Messung. Überschreiben?"},
    {65823, "Die Leistungsdifferenz braucht mindestens zwei Quellspeicher."},
    {65824, "Sichern"},
    {65825, "Verwerfen"},
    {65826, "Abbrechen"},
    {65827, "Ja"},
    {65828, "Nein"},
    {65829, "Programm"},
    {65900, "Unendlich"},
    {65901, "Halten"},
    {65902, "Reset"},
    {65903, "Achse"},
    {65904, "Linear"},
    {65905, "Logarithmisch"},
    {65906, "f [Hz]"},
    {65907, "Pegel [dB]"},
    {65908, "Länge"},
    {65909, "Spitzenwerte jedes Bins seit START oder Reset zeigen"},
    {65910, "Anfang der Frequenzachse in Hz"},
    {65911, "Ende der Frequenzachse in Hz"},
    {65912, "Oberste Pegellinie in dB (0: Vollaussteuerung im gewählten Bezug)"},
    {65913, "Pegelbereich in dB"},
    {65920, "Trigger"},
    {65921, "Frei"},
    {65922, "Auto"},
    {65923, "Normal"},
    {65924, "Einzeln"},
    {65925, "Steigend"},
    {65926, "Fallend"},
    {65927, "Pegel [%]"},
    {65928, "Position [%]"},
    {65929, "Neu auslösen"},
    {65930, "Darstellung"},
    {65931, "Treppe"},
    {65932, "Linien"},
    {65933, "t [ms]"},
    {65934, "FS"},
    {65935, "Pa"},
    {65936, "Die Einstellungen der FFT und des Oszilloskops konnten nicht gespeichert werden:\n%1"},
    {65950, "Die Datei \"%1\" enthält Speicher der FFT, keine der Oktavanalyse: Sie lässt sich auf "
            "der Seite FFT öffnen."},
    {65951, "Die Datei \"%1\" enthält Speicher der Oktavanalyse, keine der FFT: Sie lässt sich auf "
            "der Seite Oktavanalyse öffnen."},
    {65952, "nicht gezeigt: %1 nicht in %2 umrechenbar"},
    {65953, "nicht gezeigt: Bezug der Pegel unbekannt"},
    {65954, "Die gewählten Speicher haben Pegel verschiedener Bezüge, die sich nicht ineinander "
            "umrechnen lassen."},
    {65955, "nicht gezeigt: Kalibrierung der Messung unbekannt"},
    {66000, "%1 Hz (%2 – %3 Hz)"},
    {66001, "%1 %2"},
    {66002, "%1 Hz, %2"},
    {66003, "Spitze %1 Hz, %2"},
    {66004, "t = %1 ms, %2 dBFS (%3)"},
    {66005, "Marke: %1"},
    {66006, "Klick: Marke setzen, zweiter Klick: Marke entfernen"},
    {66007, "Klick: Marke setzen oder entfernen · Ziehen: Frequenzbereich zoomen · Doppelklick: "
            "ganzer Bereich"},
    {66010, "Bild speichern …"},
    {66011, "Bild der Seite speichern"},
    {66012, "PNG-Bilder (*.png)"},
    {66013, "Das Bild konnte nicht gespeichert werden:\n%1"},
};

constexpr bool sortedById()
{
    for (std::size_t i = 1; i < std::size(kTexts); ++i)
        if (kTexts[i - 1].id >= kTexts[i].id)
            return false;
    return true;
}
static_assert(sortedById(), "string table must be sorted by number");

} // namespace

QString LoadStr(int id)
{
    const auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == std::end(kTexts) || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

} // namespace app
