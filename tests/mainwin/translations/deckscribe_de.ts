<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>dkscr::MainWindow</name>
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
    <name>dkscr::FileTableModel</name>
    <message>
        <source>Target file</source>
        <translation>Zieldatei</translation>
    </message>
</context>
<context>
    <name>RunMessages</name>
    <message>
        <source>Convert successfully</source>
        <translation>Erfolgreich umgewandelt</translation>
    </message>
    <message>
        <source>Load file filter dll error</source>
        <translation>Filterbibliothek nicht geladen</translation>
    </message>
    <message>
        <source>Source file does not exist</source>
        <translation>Quelldatei existiert nicht</translation>
    </message>
    <message>
        <source>File type not support</source>
        <translation>Dateityp nicht unterstützt</translation>
    </message>
    <message>
        <source>Source file open error</source>
        <translation>Quelldatei nicht zu öffnen</translation>
    </message>
    <message>
        <source>File format not correct</source>
        <translation>Ungültiges Dateiformat</translation>
    </message>
    <message>
        <source>Target file create error</source>
        <translation>Zieldatei nicht anzulegen</translation>
    </message>
    <message>
        <source>Target file write error</source>
        <translation>Zieldatei nicht zu schreiben</translation>
    </message>
    <message>
        <source>Extracting text from source file not allowed</source>
        <translation>Textauszug aus der Quelldatei nicht erlaubt</translation>
    </message>
    <message>
        <source>Convert canceled</source>
        <translation>Konvertierung abgebrochen</translation>
    </message>
    <message>
        <source>Target file already exists, user canceled</source>
        <translation>Zieldatei existiert, vom Benutzer abgebrochen</translation>
    </message>
</context>
</TS>
