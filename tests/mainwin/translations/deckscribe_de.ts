<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>dkscr::TFmMain</name>
    <message>
        <source>%1 File(s)</source>
        <translation>%1 Datei(en)</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Umwandeln</translation>
    </message>
</context>
<context>
    <name>dkscr::TFileListModel</name>
    <message>
        <source>Target file</source>
        <translation>Zieldatei</translation>
    </message>
</context>
</TS>
