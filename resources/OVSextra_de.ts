<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>CorvaneCfg</name>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
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
</TS>
