<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>About</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Z&amp;Q Orvanel Switching Config Tool</source>
        <translation>Z&amp;Q Orvanel-Switching Config Tool</translation>
    </message>
    <message>
        <source>Version x.x.xxx (0000X)</source>
        <translation>Version x.x.xxx (0000x)</translation>
    </message>
    <message>
        <source>Z&amp;Q Schalttechnik GmbH</source>
        <translation>Z&amp;Q Schalttechnik GmbH</translation>
    </message>
    <message>
        <source>© 2014 Z&amp;Q Schalttechnik GmbH. All rights reserved.</source>
        <translation>© 2014 Z&amp;Q Schalttechnik GmbH. All rights reserved.</translation>
    </message>
    <message>
        <source>Z&amp;Q Schalttechnik GmbH
Lindenstraße 14 | 73728 Esslingen am Neckar | www.zq-schalttechnik.example</source>
        <translation>Z&amp;Q Schalttechnik GmbH
Lindenstraße 14 | 73728 Esslingen am Neckar | www.zq-schalttechnik.example</translation>
    </message>
</context>
<context>
    <name>CorvaneCfg</name>
    <message>
        <source>%1 X %2</source>
        <translation>%1 X %2</translation>
    </message>
    <message>
        <source>&amp;About Z&amp;&amp;Q Orvanel Switching Config Tool</source>
        <translation>&amp;Über Z&amp;&amp;Q Orvanel-Switching Config Tool</translation>
    </message>
    <message>
        <source>&amp;About Z&amp;&amp;Q Orvanel Switching Config Tool</source>
        <comment>About</comment>
        <translation>&amp;Über Z&amp;&amp;Q Orvanel-Switching Config Tool</translation>
    </message>
    <message>
        <source>&amp;Action</source>
        <translation>&amp;Aktion</translation>
    </message>
    <message>
        <source>&amp;Action</source>
        <comment>Action</comment>
        <translation>&amp;Aktion</translation>
    </message>
    <message>
        <source>&amp;Orvanel Switching on/off</source>
        <translation>&amp;Orvanel-Switching an/aus</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <comment>File</comment>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Get device configuration</source>
        <translation>&amp;Gerätekonfiguration auslesen</translation>
    </message>
    <message>
        <source>&amp;Get device configuration</source>
        <comment>Readout</comment>
        <translation>&amp;Gerätekonfiguration auslesen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;Mouse speed</source>
        <translation>&amp;Mausgeschwindigkeit</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <comment>New</comment>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Öffnen</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <comment>Quit</comment>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Save as ...</source>
        <translation>&amp;Speichern unter ...</translation>
    </message>
    <message>
        <source>&amp;Set device configuration</source>
        <translation>&amp;Gerätekonfiguration übertragen</translation>
    </message>
    <message>
        <source>&amp;Set device configuration</source>
        <comment>Transmit</comment>
        <translation>&amp;Gerätekonfiguration übertragen</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>About Z&amp;&amp;Q Orvanel Switching Config Tool</source>
        <translation>Über Z&amp;&amp;Q Orvanel-Switching Config Tool</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>An error occured during transmission! Action has failed.</source>
        <translation>Ein Fehler ist während der Übertragung aufgetreten! Aktion ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>OVS file (*.ovs)</source>
        <translation>OVS Datei (*.ovs)</translation>
    </message>
    <message>
        <source>Cannot connect to target! Please check port and bitrate.</source>
        <translation>Keine Verbindung zum Gerät möglich! Bitte prüfen Sie Port und Bitrate.</translation>
    </message>
    <message>
        <source>Cannot connect to target! Please check port, bitrate and startup mode.</source>
        <translation>Keine Verbindung zum Gerät möglich! Bitte prüfen Sie Port, Bitrate und den Startup Mode.</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>Checksum error while reading file!</source>
        <translation>Prüfsummenfehler beim Lesen der Datei!</translation>
    </message>
    <message>
        <source>Could not open file!</source>
        <translation>Konnte die Datei nicht öffnen!</translation>
    </message>
    <message>
        <source>Could not save file!</source>
        <translation>Die Datei konnte nicht gespeichert werden!</translation>
    </message>
    <message>
        <source>Orvanel Switching Config Tool</source>
        <translation>Orvanel-Switching Konfigurator</translation>
    </message>
    <message>
        <source>Orvanel Switching on/off</source>
        <translation>Orvanel-Switching an/aus</translation>
    </message>
    <message>
        <source>Do you want to save your changes?</source>
        <translation>Wollen Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <source>Error connecting to serial port! Port in use.</source>
        <translation>Fehler beim Verbindungsaufbau zur seriellen Schnittstelle! Der Port ist in Benutzung.</translation>
    </message>
    <message>
        <source>Error connecting to seriel port!</source>
        <translation>Fehler beim Verbindungsaufbau zur seriellen Schnittstelle!</translation>
    </message>
    <message>
        <source>File corrupt! Could not read the file!</source>
        <translation>Datei fehlerhaft! Konnte die Datei nicht Lesen!</translation>
    </message>
    <message>
        <source>File saved!</source>
        <translation>Datei gespeichert!</translation>
    </message>
    <message>
        <source>Get device configuration</source>
        <translation>Gerätekonfiguration auslesen</translation>
    </message>
    <message>
        <source>Mouse speed</source>
        <translation>Mausgeschwindigkeit</translation>
    </message>
    <message>
        <source>Note that the connected Vorrix has %1 channels, but there were %2 channels configured. Would you like to continue?</source>
        <translation>Achtung, der angeschlossene Vorrix hat %1 Kanäle, es wurden aber %2 Kanäle konfiguriert. Wollen Sie fortfahren?</translation>
    </message>
    <message>
        <source>Print configuration</source>
        <translation>Konfiguration Drucken</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Set device configuration</source>
        <translation>Gerätekonfiguration übertragen</translation>
    </message>
    <message>
        <source>Vorrix %1</source>
        <translation>Vorrix %1</translation>
    </message>
    <message>
        <source>Vorrix%1-Configuration</source>
        <translation>Vorrix%1 Konfiguration</translation>
    </message>
    <message>
        <source>Transmission complete!</source>
        <translation>Übertragung abgeschlossen!</translation>
    </message>
</context>
<context>
    <name>ListModel</name>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
</context>
<context>
    <name>MausSpeed</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>Mouse speed</source>
        <translation>Mausgeschwindigkeit</translation>
    </message>
    <message>
        <source>fast</source>
        <translation>schnell</translation>
    </message>
    <message>
        <source>slow</source>
        <translation>langsam</translation>
    </message>
</context>
<context>
    <name>MyTableModel</name>
    <message>
        <source>Device name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
</context>
<context>
    <name>NewConfig</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Configuration for:</source>
        <translation>Konfiguration für:</translation>
    </message>
    <message>
        <source>Orvanel-Switching</source>
        <translation>Orvanel-Switching</translation>
    </message>
    <message>
        <source>Vorrix2</source>
        <translation>Vorrix2</translation>
    </message>
    <message>
        <source>Vorrix4</source>
        <translation>Vorrix4</translation>
    </message>
    <message>
        <source>Vorrix8</source>
        <translation>Vorrix8</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Unknown.</source>
        <translation>Unbekannt.</translation>
    </message>
</context>
<context>
    <name>Resolution</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>9999; </source>
        <translation>9999;</translation>
    </message>
    <message>
        <source>Set Resolution</source>
        <translation>Setzen der Auflösung</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
</context>
<context>
    <name>comPort</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>Bitrate of the devices service port:</source>
        <translation>Bitrate der Servicebuchse des angeschlossenen Gerätes:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Choose serial port</source>
        <translation>Wahl des seriellen Ports</translation>
    </message>
    <message>
        <source>Please choose the interface where the service cable is connected.</source>
        <translation>Bitten wählen Sie die Schnittstelle, an der das Servicekabel angeschlossen ist.</translation>
    </message>
    <message>
        <source>Refresh interface list</source>
        <translation>Schnittstellenliste aktualisieren</translation>
    </message>
    <message>
        <source>Serial interface selection</source>
        <translation>Wahl der seriellen Schnittstelle</translation>
    </message>
    <message>
        <source>Start readout / transmit</source>
        <translation>Starten des Auslesens / Übertragens</translation>
    </message>
</context>
<context>
    <name>configwidget</name>
    <message>
        <source>%1 X %2</source>
        <translation>%1 X %2</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Set Resolution</source>
        <translation>&amp;Auflösung einstellen</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Remove this channel from configuration</source>
        <translation>Entfernt diesen Kanal aus der Konfiguration</translation>
    </message>
    <message>
        <source>Set the resolution for this screen</source>
        <translation>Einstellen der Auflösung für diesen Bildschirm</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>myListView</name>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Add a channel to the configuration</source>
        <translation>Fügt einen Kanal in die Konfiguration ein</translation>
    </message>
</context>
</TS>
