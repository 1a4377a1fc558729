<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>ArrangeActions</name>
    <message>
        <source>Arrange in a &amp;row</source>
        <translation>In einer &amp;Reihe anordnen</translation>
    </message>
    <message>
        <source>Arrange in a &amp;grid</source>
        <translation>Im &amp;Gitter anordnen</translation>
    </message>
    <message>
        <source>Arrange in a row</source>
        <translation>In einer Reihe anordnen</translation>
    </message>
    <message>
        <source>Arrange in a grid</source>
        <translation>Im Gitter anordnen</translation>
    </message>
</context>
<context>
    <name>ConfigDiff</name>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>Channel count: %1 → %2</source>
        <translation>Kanalzahl: %1 → %2</translation>
    </message>
    <message>
        <source>Orvanel Switching: %1 → %2</source>
        <translation>Orvanel-Switching: %1 → %2</translation>
    </message>
    <message>
        <source>Mouse speed: %1 → %2</source>
        <translation>Mausgeschwindigkeit: %1 → %2</translation>
    </message>
    <message>
        <source>Channel %1: %2</source>
        <translation>Kanal %1: %2</translation>
    </message>
    <message>
        <source>placed %1 → %2</source>
        <translation>platziert %1 → %2</translation>
    </message>
    <message>
        <source>left %1 → %2</source>
        <translation>links %1 → %2</translation>
    </message>
    <message>
        <source>top %1 → %2</source>
        <translation>oben %1 → %2</translation>
    </message>
    <message>
        <source>right %1 → %2</source>
        <translation>rechts %1 → %2</translation>
    </message>
    <message>
        <source>bottom %1 → %2</source>
        <translation>unten %1 → %2</translation>
    </message>
    <message>
        <source>resolution %1 → %2</source>
        <translation>Auflösung %1 → %2</translation>
    </message>
    <message>
        <source>channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>channels %1 and %2</source>
        <translation>Kanäle %1 und %2</translation>
    </message>
    <message>
        <source>channel count %1 → %2</source>
        <translation>Kanalzahl %1 → %2</translation>
    </message>
    <message>
        <source>channel count</source>
        <translation>Kanalzahl</translation>
    </message>
    <message>
        <source>Orvanel Switching %1 → %2</source>
        <translation>Orvanel Switching %1 → %2</translation>
    </message>
    <message>
        <source>Orvanel Switching</source>
        <translation>Orvanel Switching</translation>
    </message>
    <message>
        <source>mouse speed %1 → %2</source>
        <translation>Mausgeschwindigkeit %1 → %2</translation>
    </message>
    <message>
        <source>mouse speed</source>
        <translation>Mausgeschwindigkeit</translation>
    </message>
</context>
<context>
    <name>ConfigRecord</name>
    <message>
        <source>Channel %1 on the right</source>
        <translation>Kanal %1 rechts</translation>
    </message>
    <message>
        <source>Channel %1 on the left</source>
        <translation>Kanal %1 links</translation>
    </message>
    <message>
        <source>Channel %1 below</source>
        <translation>Kanal %1 unten</translation>
    </message>
    <message>
        <source>Channel %1 above</source>
        <translation>Kanal %1 oben</translation>
    </message>
    <message>
        <source>row %1</source>
        <translation>Zeile %1</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>Spalte %1</translation>
    </message>
    <message>
        <source>rows %1–%2</source>
        <translation>Zeilen %1–%2</translation>
    </message>
    <message>
        <source>columns %1–%2</source>
        <translation>Spalten %1–%2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Placed</source>
        <translation>Platziert</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Size in cells</source>
        <translation>Größe in Zellen</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>Crossings</source>
        <translation>Übergänge</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>nicht gesetzt</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>column %1, row %2</source>
        <translation>Spalte %1, Zeile %2</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>Configuration record</source>
        <translation>Konfigurationsprotokoll</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Vorrix %1</source>
        <translation>Vorrix %1</translation>
    </message>
    <message>
        <source>Pointer speed</source>
        <translation>Mausgeschwindigkeit</translation>
    </message>
    <message>
        <source>Orvanel Switching</source>
        <translation>Orvanel-Switching</translation>
    </message>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>Layout check</source>
        <translation>Prüfung des Layouts</translation>
    </message>
    <message>
        <source>no problems</source>
        <translation>keine Probleme</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>not saved</source>
        <translation>nicht gespeichert</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>%1, changed since</source>
        <translation>%1, seitdem geändert</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>Record made</source>
        <translation>Protokoll erstellt</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Last exchange with a switch</source>
        <translation>Letzter Austausch mit einem Switch</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Exchange</source>
        <translation>Austausch</translation>
    </message>
    <message>
        <source>Verified</source>
        <translation>Geprüft</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Kanäle</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Datei: %1</translation>
    </message>
    <message>
        <source>Record made: %1</source>
        <translation>Protokoll erstellt: %1</translation>
    </message>
</context>
<context>
    <name>RasterWidget</name>
    <message>
        <source>Screen layout</source>
        <translation>Bildschirmanordnung</translation>
    </message>
</context>
<context>
    <name>myListView</name>
    <message>
        <source>Unplaced channels</source>
        <translation>Nicht platzierte Kanäle</translation>
    </message>
</context>
<context>
    <name>TileAccessible</name>
    <message>
        <source>columns %1–%2, rows %3–%4</source>
        <translation>Spalten %1–%2, Zeilen %3–%4</translation>
    </message>
    <message>
        <source>no resolution, %1</source>
        <translation>keine Auflösung, %1</translation>
    </message>
    <message>
        <source>%1 × %2, %3</source>
        <translation>%1 × %2, %3</translation>
    </message>
    <message>
        <source>row %1</source>
        <translation>Zeile %1</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>Spalte %1</translation>
    </message>
    <message>
        <source>rows %1–%2</source>
        <translation>Zeilen %1–%2</translation>
    </message>
    <message>
        <source>columns %1–%2</source>
        <translation>Spalten %1–%2</translation>
    </message>
    <message>
        <source>on the right</source>
        <translation>rechts</translation>
    </message>
    <message>
        <source>on the left</source>
        <translation>links</translation>
    </message>
    <message>
        <source>below</source>
        <translation>unten</translation>
    </message>
    <message>
        <source>above</source>
        <translation>oben</translation>
    </message>
    <message>
        <source>to %1 %2</source>
        <translation>zu %1 %2</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>crosses %1</source>
        <translation>wechselt %1</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>LayoutCheck</name>
    <message>
        <source>The channel count is %1, but a Vorrix has 2, 4 or 8 channels</source>
        <translation>Die Kanalzahl ist %1, ein Vorrix hat aber 2, 4 oder 8 Kanäle</translation>
    </message>
    <message>
        <source>The mouse speed is %1, but it can only be set from 1 to 10</source>
        <translation>Die Mausgeschwindigkeit ist %1, einstellbar ist aber nur 1 bis 10</translation>
    </message>
    <message>
        <source>Orvanel Switching holds %1, but it can only be on (1) or off (0)</source>
        <translation>Orvanel-Switching hat den Wert %1, möglich sind aber nur an (1) und aus (0)</translation>
    </message>
    <message>
        <source>Channel %1 has the invalid placement value %2 (only 0 and 1 are valid)</source>
        <translation>Kanal %1 hat den ungültigen Platzierungswert %2 (gültig sind nur 0 und 1)</translation>
    </message>
    <message>
        <source>Channel %1 is placed, but the configuration has only %2 channels</source>
        <translation>Kanal %1 ist platziert, die Konfiguration hat aber nur %2 Kanäle</translation>
    </message>
    <message>
        <source>Channel %1 is placed but has no area, so it cannot be shown</source>
        <translation>Kanal %1 ist platziert, hat aber keine Fläche und kann nicht angezeigt werden</translation>
    </message>
    <message>
        <source>Channel %1 is smaller than 2 × 2 cells</source>
        <translation>Kanal %1 ist kleiner als 2 × 2 Zellen</translation>
    </message>
    <message>
        <source>Channel %1 has no resolution</source>
        <translation>Kanal %1 hat keine Auflösung</translation>
    </message>
    <message>
        <source>Channels %1 and %2 overlap</source>
        <translation>Die Kanäle %1 und %2 überlappen sich</translation>
    </message>
    <message>
        <source>Channel %1 touches no other screen</source>
        <translation>Kanal %1 berührt keinen anderen Bildschirm</translation>
    </message>
    <message>
        <source>Channels %1 form a group that the pointer cannot reach from channel %2</source>
        <translation>Die Kanäle %1 bilden eine Gruppe, die der Mauszeiger von Kanal %2 aus nicht erreicht</translation>
    </message>
</context>
<context>
    <name>CorvaneCfg</name>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Verify device configuration</source>
        <translation>Gerätekonfiguration &amp;prüfen</translation>
    </message>
    <message>
        <source>Verify device configuration</source>
        <translation>Gerätekonfiguration prüfen</translation>
    </message>
    <message>
        <source>The switch holds the configuration shown here.</source>
        <translation>Der Switch enthält die hier gezeigte Konfiguration.</translation>
    </message>
    <message>
        <source>The switch holds a different configuration (here → switch):

%1</source>
        <translation>Der Switch enthält eine andere Konfiguration (hier → Switch):

%1</translation>
    </message>
    <message>
        <source>This configuration has problems:

%1</source>
        <translation>Diese Konfiguration hat Probleme:

%1</translation>
    </message>
    <message>
        <source>This configuration has problems:

%1

Would you like to send it to the switch all the same?</source>
        <translation>Diese Konfiguration hat Probleme:

%1

Möchten Sie sie trotzdem an den Switch übertragen?</translation>
    </message>
    <message>
        <source>The window closes when the exchange with the switch has ended.</source>
        <translation>Das Fenster schließt, sobald der Austausch mit dem Switch beendet ist.</translation>
    </message>
    <message>
        <source>S&amp;witches…</source>
        <translation>S&amp;witches…</translation>
    </message>
</context>
<context>
    <name>DocumentChanges</name>
    <message>
        <source>Place Channel %1</source>
        <translation>Kanal %1 platzieren</translation>
    </message>
    <message>
        <source>Place %1 screens</source>
        <translation>%1 Bildschirme platzieren</translation>
    </message>
    <message>
        <source>Move Channel %1</source>
        <translation>Kanal %1 verschieben</translation>
    </message>
    <message>
        <source>Move %1 screens</source>
        <translation>%1 Bildschirme verschieben</translation>
    </message>
    <message>
        <source>Remove Channel %1</source>
        <translation>Kanal %1 entfernen</translation>
    </message>
    <message>
        <source>Remove %1 screens</source>
        <translation>%1 Bildschirme entfernen</translation>
    </message>
    <message>
        <source>Resize Channel %1</source>
        <translation>Größe von Kanal %1 ändern</translation>
    </message>
    <message>
        <source>Set resolution of Channel %1</source>
        <translation>Auflösung von Kanal %1 setzen</translation>
    </message>
    <message>
        <source>Set mouse speed</source>
        <translation>Mausgeschwindigkeit setzen</translation>
    </message>
    <message>
        <source>Switch Orvanel Switching on</source>
        <translation>Orvanel-Switching einschalten</translation>
    </message>
    <message>
        <source>Switch Orvanel Switching off</source>
        <translation>Orvanel-Switching ausschalten</translation>
    </message>
</context>
<context>
    <name>DocumentStatus</name>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>%1 (unsaved changes)</source>
        <translation>%1 (ungespeicherte Änderungen)</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Datei: %1</translation>
    </message>
</context>
<context>
    <name>ExchangeReport</name>
    <message>
        <source>Reading from %1…</source>
        <translation>Lesen von %1…</translation>
    </message>
    <message>
        <source>Sending to %1…</source>
        <translation>Senden an %1…</translation>
    </message>
    <message>
        <source>Reading from %1: record %2 of %3</source>
        <translation>Lesen von %1: Datensatz %2 von %3</translation>
    </message>
    <message>
        <source>Sending to %1: record %2 of %3</source>
        <translation>Senden an %1: Datensatz %2 von %3</translation>
    </message>
    <message>
        <source>Read Vorrix %1 from %2 at %3</source>
        <translation>Vorrix %1 von %2 gelesen um %3</translation>
    </message>
    <message>
        <source>Readout from %1 at %2 undone</source>
        <translation>Auslesen von %1 um %2 rückgängig gemacht</translation>
    </message>
    <message>
        <source>The switch holds the configuration shown here (read from %1 at %2)</source>
        <translation>Der Switch enthält die hier gezeigte Konfiguration (gelesen von %1 um %2)</translation>
    </message>
    <message>
        <source>Sent Vorrix %1 to %2 at %3</source>
        <translation>Vorrix %1 an %2 gesendet um %3</translation>
    </message>
    <message>
        <source>Verified at %1: the switch holds this configuration</source>
        <translation>Geprüft um %1: Der Switch enthält diese Konfiguration</translation>
    </message>
    <message>
        <source>Verified at %1: the switch differs in its settings</source>
        <translation>Geprüft um %1: Der Switch weicht in seinen Einstellungen ab</translation>
    </message>
    <message>
        <source>Verified at %1: the switch differs in its settings and in 1 channel</source>
        <translation>Geprüft um %1: Der Switch weicht in seinen Einstellungen und in 1 Kanal ab</translation>
    </message>
    <message>
        <source>Verified at %1: the switch differs in its settings and in %2 channels</source>
        <translation>Geprüft um %1: Der Switch weicht in seinen Einstellungen und in %2 Kanälen ab</translation>
    </message>
    <message>
        <source>Verified at %1: the switch differs in 1 channel</source>
        <translation>Geprüft um %1: Der Switch weicht in 1 Kanal ab</translation>
    </message>
    <message>
        <source>Verified at %1: the switch differs in %2 channels</source>
        <translation>Geprüft um %1: Der Switch weicht in %2 Kanälen ab</translation>
    </message>
    <message>
        <source>Sending to %1 failed at %2</source>
        <translation>Senden an %1 fehlgeschlagen um %2</translation>
    </message>
    <message>
        <source>Reading from %1 failed at %2</source>
        <translation>Lesen von %1 fehlgeschlagen um %2</translation>
    </message>
    <message>
        <source>Sending to %1 failed at %2: %3</source>
        <translation>Senden an %1 fehlgeschlagen um %2: %3</translation>
    </message>
    <message>
        <source>Reading from %1 failed at %2: %3</source>
        <translation>Lesen von %1 fehlgeschlagen um %2: %3</translation>
    </message>
    <message>
        <source>no such port</source>
        <translation>Port existiert nicht</translation>
    </message>
    <message>
        <source>permission denied (the port belongs to the group %1: add your user to it and log in again)</source>
        <translation>Zugriff verweigert (der Port gehört der Gruppe %1: Benutzer hinzufügen und neu anmelden)</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>the port is in use by another program</source>
        <translation>Port wird von einem anderen Programm benutzt</translation>
    </message>
    <message>
        <source>the device was removed</source>
        <translation>Gerät wurde entfernt</translation>
    </message>
    <message>
        <source>no answer to the hello</source>
        <translation>keine Antwort auf das Hello</translation>
    </message>
    <message>
        <source>the switch answered the hello with an unknown channel count</source>
        <translation>der Switch meldete auf das Hello eine unbekannte Kanalzahl</translation>
    </message>
    <message>
        <source>settings not acknowledged</source>
        <translation>Einstellungen nicht bestätigt</translation>
    </message>
    <message>
        <source>settings not received</source>
        <translation>Einstellungen nicht empfangen</translation>
    </message>
    <message>
        <source>record %1 of %2 not acknowledged</source>
        <translation>Datensatz %1 von %2 nicht bestätigt</translation>
    </message>
    <message>
        <source>record %1 of %2 not received</source>
        <translation>Datensatz %1 von %2 nicht empfangen</translation>
    </message>
    <message>
        <source>Went back to the previous configuration at %1: %2</source>
        <translation>Um %1 zur vorherigen Konfiguration zurückgekehrt: %2</translation>
    </message>
    <message>
        <source>%1 (not recorded: %2)</source>
        <translation>%1 (nicht aufgezeichnet: %2)</translation>
    </message>
    <message>
        <source>Reading: record %1 of %2</source>
        <translation>Lesen: Datensatz %1 von %2</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Lesen…</translation>
    </message>
    <message>
        <source>Sending: record %1 of %2</source>
        <translation>Senden: Datensatz %1 von %2</translation>
    </message>
    <message>
        <source>Sending…</source>
        <translation>Senden…</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>read</source>
        <translation>lesen</translation>
    </message>
    <message>
        <source>write</source>
        <translation>schreiben</translation>
    </message>
    <message>
        <source>verify</source>
        <translation>prüfen</translation>
    </message>
    <message>
        <source>backup</source>
        <translation>sichern</translation>
    </message>
    <message>
        <source>restore</source>
        <translation>wiederherstellen</translation>
    </message>
    <message>
        <source>go back</source>
        <translation>zurückkehren</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Exchanges with the switch, newest first</source>
        <translation>Austausch mit dem Switch, neuester zuerst</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Damaged lines of the journal skipped: %1</source>
        <translation>Übersprungene beschädigte Zeilen des Protokolls: %1</translation>
    </message>
    <message>
        <source>Older entries were skipped: the journal is larger than %1 MiB.</source>
        <translation>Ältere Einträge wurden übersprungen: Das Protokoll ist größer als %1 MiB.</translation>
    </message>
    <message>
        <source>The journal cannot be read: %1</source>
        <translation>Das Protokoll kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Open as new document</source>
        <translation>Als neues Dokument ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open as new document</source>
        <translation>Als neues Dokument öffnen</translation>
    </message>
    <message>
        <source>Co&amp;mpare with this layout</source>
        <translation>Mit diesem Layout &amp;vergleichen</translation>
    </message>
    <message>
        <source>Compare with this layout</source>
        <translation>Mit diesem Layout vergleichen</translation>
    </message>
    <message>
        <source>Send to &amp;switch</source>
        <translation>An den Switch s&amp;enden</translation>
    </message>
    <message>
        <source>Send to switch</source>
        <translation>An den Switch senden</translation>
    </message>
    <message>
        <source>The journal holds no exchange yet.</source>
        <translation>Das Protokoll enthält noch keinen Austausch.</translation>
    </message>
    <message>
        <source>No readable configuration belongs to this entry.</source>
        <translation>Zu diesem Eintrag gehört keine lesbare Konfiguration.</translation>
    </message>
    <message>
        <source>What the switch held before this write: %1</source>
        <translation>Was der Switch vor diesem Schreiben enthielt: %1</translation>
    </message>
    <message>
        <source>The configuration of this entry: %1</source>
        <translation>Die Konfiguration dieses Eintrags: %1</translation>
    </message>
</context>
<context>
    <name>KeepDialog</name>
    <message>
        <source>Keep this configuration?</source>
        <translation>Diese Konfiguration behalten?</translation>
    </message>
    <message>
        <source>The switch goes back to its previous configuration in %1 s.</source>
        <translation>Der Switch kehrt in %1 s zu seiner vorherigen Konfiguration zurück.</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Behalten</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Behalten</translation>
    </message>
    <message>
        <source>&amp;Go back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>Go back</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Place the selected channels</source>
        <translation>Die ausgewählten Kanäle platzieren</translation>
    </message>
    <message>
        <source>Remove the selected screens</source>
        <translation>Die ausgewählten Bildschirme entfernen</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Bildschirmanordnung</translation>
    </message>
</context>
<context>
    <name>LayoutMarks</name>
    <message>
        <source>1 layout problem</source>
        <translation>1 Layout-Problem</translation>
    </message>
    <message>
        <source>%1 layout problems</source>
        <translation>%1 Layout-Probleme</translation>
    </message>
    <message>
        <source>1 notice</source>
        <translation>1 Hinweis</translation>
    </message>
    <message>
        <source>%1 notices</source>
        <translation>%1 Hinweise</translation>
    </message>
    <message>
        <source>Select screens with problems</source>
        <translation>Bildschirme mit Problemen auswählen</translation>
    </message>
</context>
<context>
    <name>MyTableModel</name>
    <message>
        <source>Command line</source>
        <translation>Befehlszeile</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>the switch did not answer in time.</source>
        <translation>der Switch hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>its answers could not be used.</source>
        <translation>seine Antworten waren nicht verwendbar.</translation>
    </message>
    <message>
        <source>Could not read the switch&apos;s present configuration: %1</source>
        <translation>Die aktuelle Konfiguration des Switches konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Could not read the switch back after resends: %1</source>
        <translation>Der Switch konnte nach Wiederholungen nicht zurückgelesen werden: %1</translation>
    </message>
    <message>
        <source>Channel %1 differs after read-back.</source>
        <translation>Kanal %1 weicht nach dem Zurücklesen ab.</translation>
    </message>
    <message>
        <source>Channels %1 and %2 differ after read-back.</source>
        <translation>Die Kanäle %1 und %2 weichen nach dem Zurücklesen ab.</translation>
    </message>
    <message>
        <source>Orvanel Switching differs after read-back.</source>
        <translation>Orvanel-Switching weicht nach dem Zurücklesen ab.</translation>
    </message>
    <message>
        <source>The mouse speed differs after read-back.</source>
        <translation>Die Mausgeschwindigkeit weicht nach dem Zurücklesen ab.</translation>
    </message>
</context>
<context>
    <name>comPort</name>
    <message>
        <source>Serial ports</source>
        <translation>Serielle Schnittstellen</translation>
    </message>
    <message>
        <source>&amp;Find switch</source>
        <translation>Switch &amp;suchen</translation>
    </message>
    <message>
        <source>Ask every listed port whether a switch answers</source>
        <translation>Alle aufgeführten Schnittstellen fragen, ob ein Switch antwortet</translation>
    </message>
    <message>
        <source>Looking for a switch on the listed ports</source>
        <translation>Suche nach einem Switch an den aufgeführten Schnittstellen</translation>
    </message>
    <message>
        <source>A switch answers on %1 (Vorrix %2); select its row to use it.</source>
        <translation>An %1 antwortet ein Switch (Vorrix %2); wählen Sie seine Zeile, um ihn zu verwenden.</translation>
    </message>
</context>
<context>
    <name>ProbeColumnModel</name>
    <message>
        <source>Switch</source>
        <translation>Switch</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Suche…</translation>
    </message>
    <message>
        <source>Vorrix %1 at %2 bit/s</source>
        <translation>Vorrix %1 mit %2 bit/s</translation>
    </message>
    <message>
        <source>No switch answered.</source>
        <translation>Kein Switch hat geantwortet.</translation>
    </message>
    <message>
        <source>No answer</source>
        <translation>Keine Antwort</translation>
    </message>
    <message>
        <source>Not asked yet</source>
        <translation>Noch nicht gefragt</translation>
    </message>
</context>
<context>
    <name>Resolution</name>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>Common &amp;resolutions:</source>
        <translation>Gängige Auf&amp;lösungen:</translation>
    </message>
    <message>
        <source>Fills width and height</source>
        <translation>Füllt Breite und Höhe</translation>
    </message>
    <message>
        <source>&amp;Width</source>
        <translation>&amp;Breite</translation>
    </message>
    <message>
        <source>&amp;Height</source>
        <translation>&amp;Höhe</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
</context>
<context>
    <name>RecordExport</name>
    <message>
        <source>&amp;Export record…</source>
        <translation>Protokoll &amp;exportieren…</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>yes: the switch held a different configuration</source>
        <translation>ja: der Switch enthielt eine andere Konfiguration</translation>
    </message>
    <message>
        <source>yes, but the configuration has been changed since</source>
        <translation>ja, aber die Konfiguration wurde seitdem geändert</translation>
    </message>
    <message>
        <source>yes: the switch holds this configuration</source>
        <translation>ja: der Switch enthält diese Konfiguration</translation>
    </message>
    <message>
        <source>Export record</source>
        <translation>Protokoll exportieren</translation>
    </message>
    <message>
        <source>PDF file (*.pdf)</source>
        <translation>PDF-Datei (*.pdf)</translation>
    </message>
</context>
<context>
    <name>PortFault</name>
    <message>
        <source>Permission denied. Serial ports are open to the members of the group &apos;dialout&apos; (sudo usermod -aG dialout $USER, then log in again).</source>
        <translation>Zugriff verweigert. Serielle Schnittstellen stehen den Mitgliedern der Gruppe &apos;dialout&apos; offen (sudo usermod -aG dialout $USER, danach neu anmelden).</translation>
    </message>
    <message>
        <source>Permission denied.</source>
        <translation>Zugriff verweigert.</translation>
    </message>
    <message>
        <source>No such port.</source>
        <translation>Diese Schnittstelle gibt es nicht.</translation>
    </message>
    <message>
        <source>The port is in use by another program.</source>
        <translation>Die Schnittstelle wird von einem anderen Programm benutzt.</translation>
    </message>
    <message>
        <source>The port refused the line settings.</source>
        <translation>Die Schnittstelle hat die Leitungseinstellungen abgelehnt.</translation>
    </message>
    <message>
        <source>The port went away.</source>
        <translation>Die Schnittstelle ist verschwunden.</translation>
    </message>
</context>
<context>
    <name>WayBack</name>
    <message>
        <source>&amp;History…</source>
        <translation>&amp;Verlauf…</translation>
    </message>
    <message>
        <source>The switch's present configuration could not be kept as a restore point, so nothing was written: %1</source>
        <translation>Die aktuelle Konfiguration des Switches konnte nicht als Wiederherstellungspunkt gesichert werden, daher wurde nichts geschrieben: %1</translation>
    </message>
    <message>
        <source>you chose Go back</source>
        <translation>Sie haben Zurück gewählt</translation>
    </message>
    <message>
        <source>you closed the question</source>
        <translation>Sie haben die Frage geschlossen</translation>
    </message>
    <message>
        <source>no answer within %1 s</source>
        <translation>keine Antwort innerhalb von %1 s</translation>
    </message>
    <message>
        <source>This entry holds the configuration shown here.</source>
        <translation>Dieser Eintrag enthält die hier gezeigte Konfiguration.</translation>
    </message>
    <message>
        <source>This entry holds a different configuration (here → entry):

%1</source>
        <translation>Dieser Eintrag enthält eine andere Konfiguration (hier → Eintrag):

%1</translation>
    </message>
    <message>
        <source>Changed: %1</source>
        <translation>Geändert: %1</translation>
    </message>
    <message>
        <source>Go back to the previous configuration?</source>
        <translation>Zur vorherigen Konfiguration zurückkehren?</translation>
    </message>
    <message>
        <source>Not everything was sent to the switch on %1, so it may now hold parts of both configurations.

Go back to the configuration it held before, kept as a restore point at %2?</source>
        <translation>Nicht alles wurde an den Switch an %1 gesendet; er kann jetzt Teile beider Konfigurationen enthalten.

Zu der Konfiguration zurückkehren, die er vorher enthielt und die um %2 als Wiederherstellungspunkt gesichert wurde?</translation>
    </message>
    <message>
        <source>&amp;Go back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Leave it</source>
        <translation>&amp;So lassen</translation>
    </message>
    <message>
        <source>you chose Go back after the failure</source>
        <translation>Sie haben nach dem Fehler Zurück gewählt</translation>
    </message>
    <message>
        <source>The switch may now hold parts of both configurations. What it held before is kept in the restore point %1.</source>
        <translation>Der Switch kann jetzt Teile beider Konfigurationen enthalten. Was er vorher enthielt, ist im Wiederherstellungspunkt %1 gesichert.</translation>
    </message>
    <message>
        <source>The switch on %1 no longer holds the configuration sent at %2; it was not changed.</source>
        <translation>Der Switch an %1 enthält nicht mehr die um %2 gesendete Konfiguration; er wurde nicht verändert.</translation>
    </message>
    <message>
        <source>The switch on %1 has %2 channels, but the restore point is of a switch with %3; it was not changed.</source>
        <translation>Der Switch an %1 hat %2 Kanäle, der Wiederherstellungspunkt stammt aber von einem Switch mit %3; er wurde nicht verändert.</translation>
    </message>
</context>
<context>
    <name>SwitchJob</name>
    <message>
        <source>The switch&apos;s configuration could not be kept as a restore point (%1); nothing was sent.</source>
        <translation>Die Konfiguration des Switches konnte nicht als Wiederherstellungspunkt gesichert werden (%1); es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
</context>
<context>
    <name>SwitchProbe</name>
    <message>
        <source>Vorrix %1 at %2 bit/s</source>
        <translation>Vorrix %1 mit %2 bit/s</translation>
    </message>
</context>
<context>
    <name>KnownState</name>
    <message>
        <source>Same as at %1</source>
        <translation>Unverändert wie um %1</translation>
    </message>
    <message>
        <source>Changed since %1: %2</source>
        <translation>Geändert seit %1: %2</translation>
    </message>
    <message>
        <source>First read now</source>
        <translation>Jetzt zum ersten Mal gelesen</translation>
    </message>
</context>
<context>
    <name>SwitchRoom</name>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message>
        <source>%1; opened in the main window</source>
        <translation>%1; im Hauptfenster geöffnet</translation>
    </message>
    <message>
        <source>%1; saved to %2</source>
        <translation>%1; gesichert in %2</translation>
    </message>
    <message>
        <source>%1; the file %2 could not be written</source>
        <translation>%1; die Datei %2 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Asking…</source>
        <translation>Wird gefragt…</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>No answer</source>
        <translation>Keine Antwort</translation>
    </message>
    <message>
        <source>Not sent: the switch has %1 channels, the file %2</source>
        <translation>Nicht gesendet: Der Switch hat %1 Kanäle, die Datei %2</translation>
    </message>
    <message>
        <source>Waiting…</source>
        <translation>Wartet…</translation>
    </message>
    <message>
        <source>Went back to the previous configuration</source>
        <translation>Zur vorherigen Konfiguration zurückgekehrt</translation>
    </message>
</context>
<context>
    <name>SwitchRoomModel</name>
    <message>
        <source>Command line</source>
        <translation>Befehlszeile</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Last exchange</source>
        <translation>Letzter Austausch</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Switch</source>
        <translation>Switch</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine Angabe</translation>
    </message>
</context>
<context>
    <name>SwitchesWindow</name>
    <message>
        <source>%1 Not written: %2.</source>
        <translation>%1 Nicht geschrieben: %2.</translation>
    </message>
    <message>
        <source>Written to 1 switch.</source>
        <translation>In 1 Switch geschrieben.</translation>
    </message>
    <message>
        <source>Written to %1 switches.</source>
        <translation>In %1 Switches geschrieben.</translation>
    </message>
    <message>
        <source>&amp;Back up…</source>
        <translation>&amp;Sichern…</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Prüfen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Send a file…</source>
        <translation>Datei s&amp;enden…</translation>
    </message>
    <message>
        <source>Back up into the folder</source>
        <translation>In den Ordner sichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Configurations (*.ovs)</source>
        <translation>Konfigurationen (*.ovs)</translation>
    </message>
    <message>
        <source>End what has not finished</source>
        <translation>Beenden, was noch nicht fertig ist</translation>
    </message>
    <message>
        <source>Not everything was sent to %1, so they may now hold parts of both configurations.

Go back to the configurations they held before, kept as restore points?</source>
        <translation>Nicht alles wurde an %1 gesendet; sie können jetzt Teile beider Konfigurationen enthalten.

Zu den Konfigurationen zurückkehren, die sie vorher enthielten und die als Wiederherstellungspunkte gesichert sind?</translation>
    </message>
    <message>
        <source>Read each switch and compare it with what it last held</source>
        <translation>Jeden Switch lesen und mit dem vergleichen, was er zuletzt enthielt</translation>
    </message>
    <message>
        <source>Read the selected switch into the main window</source>
        <translation>Den ausgewählten Switch ins Hauptfenster lesen</translation>
    </message>
    <message>
        <source>S&amp;witches on the serial ports of this PC (the actions work on the selected rows, or on all rows when none is selected):</source>
        <translation>S&amp;witches an den seriellen Schnittstellen dieses PCs (die Aktionen gelten für die ausgewählten Zeilen, oder für alle, wenn keine ausgewählt ist):</translation>
    </message>
    <message>
        <source>Save each switch&apos;s configuration to a folder, one file per switch</source>
        <translation>Die Konfiguration jedes Switches in einen Ordner sichern, eine Datei je Switch</translation>
    </message>
    <message>
        <source>Send a file</source>
        <translation>Datei senden</translation>
    </message>
    <message>
        <source>Send one configuration file to each switch whose channel count fits</source>
        <translation>Eine Konfigurationsdatei an jeden Switch mit passender Kanalzahl senden</translation>
    </message>
    <message>
        <source>Switches</source>
        <translation>Switches</translation>
    </message>
    <message>
        <source>The window closes when the switches are done with.</source>
        <translation>Das Fenster schließt, sobald die Switches fertig sind.</translation>
    </message>
    <message>
        <source>Two of the ports would share the file %1; select the switches to back up.</source>
        <translation>Zwei der Schnittstellen würden sich die Datei %1 teilen; wählen Sie die Switches aus, die gesichert werden sollen.</translation>
    </message>
</context>
</TS>
