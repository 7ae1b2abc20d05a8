<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>CodePages</name>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Latin 1: European Western</source>
        <translation>Lateinisch 1: Westeuropäisch</translation>
    </message>
    <message>
        <source>Unicode (UTF-16, ISO 10646)</source>
        <translation>Unicode (UTF-16, ISO 10646)</translation>
    </message>
    <message>
        <source>Unicode (UTF-8)</source>
        <translation>Unicode (UTF-8)</translation>
    </message>
    <message>
        <source>European Eastern</source>
        <translation>Osteuropäisch</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabisch</translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation>Baltisch</translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation>Kyrillisch</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griechisch</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebräisch</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Türkisch</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Thailändisch</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanisch</translation>
    </message>
    <message>
        <source>Chinese Simplified</source>
        <translation>Chinesisch (vereinfacht)</translation>
    </message>
    <message>
        <source>Chinese Traditional</source>
        <translation>Chinesisch (traditionell)</translation>
    </message>
    <message>
        <source>Korean Hangul</source>
        <translation>Koreanisch (Hangul)</translation>
    </message>
    <message>
        <source>Korean Johab</source>
        <translation>Koreanisch (Johab)</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>Set Kel-Deckscribe options</source>
        <translation>Optionen von Kel-Deckscribe einstellen</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Exit from Kel-Deckscribe</source>
        <translation>Kel-Deckscribe beenden</translation>
    </message>
    <message>
        <source>&amp;View Log</source>
        <translation>Protokoll an&amp;zeigen</translation>
    </message>
    <message>
        <source>View Kel-Deckscribe logs</source>
        <translation>Protokoll von Kel-Deckscribe anzeigen</translation>
    </message>
    <message>
        <source>Add &amp;File</source>
        <translation>Datei &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Add file(s) by selecting file(s)</source>
        <translation>Datei(en) durch Auswahl hinzufügen</translation>
    </message>
    <message>
        <source>Add &amp;Dir</source>
        <translation>&amp;Verzeichnis hinzufügen</translation>
    </message>
    <message>
        <source>Add file(s) by selecting director(ies)</source>
        <translation>Datei(en) aus Verzeichnis(sen) hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Paste File</source>
        <translation>Dateien &amp;einfügen</translation>
    </message>
    <message>
        <source>Add file(s) by pasting from clipboard</source>
        <translation>Datei(en) aus der Zwischenablage einfügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Delete selected file(s) name from listview</source>
        <translation>Ausgewählte Datei(en) aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>Select all file(s) in listview</source>
        <translation>Alle Dateien der Liste auswählen</translation>
    </message>
    <message>
        <source>&amp;Convert All</source>
        <translation>&amp;Alle umwandeln</translation>
    </message>
    <message>
        <source>Convert all file(s) in listview</source>
        <translation>Alle Dateien der Liste umwandeln</translation>
    </message>
    <message>
        <source>Convert &amp;Selected</source>
        <translation>Ausgewählte &amp;umwandeln</translation>
    </message>
    <message>
        <source>Convert selected file(s)</source>
        <translation>Ausgewählte Datei(en) umwandeln</translation>
    </message>
    <message>
        <source>&amp;ReConvert Selected</source>
        <translation>Ausgewählte &amp;erneut umwandeln</translation>
    </message>
    <message>
        <source>Convert selected file(s) again</source>
        <translation>Ausgewählte Datei(en) erneut umwandeln</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Open source file with default program</source>
        <translation>Quelldatei mit dem Standardprogramm öffnen</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Open target file with default program</source>
        <translation>Zieldatei mit dem Standardprogramm öffnen</translation>
    </message>
    <message>
        <source>Explore folder which source file in</source>
        <translation>Ordner der Quelldatei anzeigen</translation>
    </message>
    <message>
        <source>Explore folder which target file in</source>
        <translation>Ordner der Zieldatei anzeigen</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Show help contents</source>
        <translation>Inhalt der Hilfe anzeigen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Show about window</source>
        <translation>Informationen über das Programm anzeigen</translation>
    </message>
    <message>
        <source>&amp;Add File</source>
        <translation>Datei hin&amp;zufügen</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>Pro&amp;tokoll</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Umwandeln</translation>
    </message>
</context>
<context>
    <name>DialogServices</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Kel-Deckscribe</source>
        <translation>Kel-Deckscribe</translation>
    </message>
</context>
<context>
    <name>ExitReport</name>
    <message>
        <source>The file list was not saved, so as not to replace %1.</source>
        <translation>Die Dateiliste wurde nicht gespeichert, um %1 nicht zu ersetzen.</translation>
    </message>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 entries beyond the first %2 were not saved in %3.</source>
        <translation>%1 Einträge nach den ersten %2 wurden nicht in %3 gespeichert.</translation>
    </message>
    <message>
        <source>%1 texts too long for %2 were shortened.</source>
        <translation>%1 für %2 zu lange Texte wurden gekürzt.</translation>
    </message>
</context>
<context>
    <name>FileAdding</name>
    <message>
        <source>All Support File</source>
        <translation>Alle unterstützten Dateien</translation>
    </message>
</context>
<context>
    <name>FileTypes</name>
    <message>
        <source>PowerPoint 95, 97-2007 File</source>
        <translation>PowerPoint 95, 97-2007-Datei</translation>
    </message>
    <message>
        <source>PowerPoint Open XML File</source>
        <translation>PowerPoint-Open-XML-Datei</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>The folder %1 cannot be written (%2): the file list and the settings will not be saved.</source>
        <translation>In den Ordner %1 kann nicht geschrieben werden (%2): Dateiliste und Einstellungen werden nicht gespeichert.</translation>
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
        <translation>Umwandlung abgebrochen</translation>
    </message>
    <message>
        <source>Target file already exists, user canceled</source>
        <translation>Zieldatei existiert, vom Benutzer abgebrochen</translation>
    </message>
    <message>
        <source>Converted: no text found</source>
        <translation>Umgewandelt: kein Text gefunden</translation>
    </message>
    <message>
        <source>Skipped: target exists</source>
        <translation>Übersprungen: Zieldatei existiert</translation>
    </message>
    <message>
        <source>Source file is encrypted (password-protected)</source>
        <translation>Quelldatei ist verschlüsselt (kennwortgeschützt)</translation>
    </message>
    <message>
        <source>Target file name is taken by another entry</source>
        <translation>Name der Zieldatei ist schon von einem anderen Eintrag belegt</translation>
    </message>
</context>
<context>
    <name>dkscr::AboutDialog</name>
    <message>
        <source>About Kel-Deckscribe</source>
        <translation>Über Kel-Deckscribe</translation>
    </message>
    <message>
        <source>Kel-Deckscribe</source>
        <translation>Kel-Deckscribe</translation>
    </message>
    <message>
        <source>Version 3.0</source>
        <translation>Version 3.0</translation>
    </message>
    <message>
        <source>Deckscribe Help</source>
        <translation>Hilfe zu Deckscribe</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>dkscr::AddFolderDialog</name>
    <message>
        <source>Add directory</source>
        <translation>Verzeichnis hinzufügen</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Verzeichnis</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Durchsuchen</translation>
    </message>
    <message>
        <source>Select type of file to be converted:</source>
        <translation>Art der umzuwandelnden Dateien wählen:</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>&amp;Invert selection</source>
        <translation>Auswahl &amp;umkehren</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Keine auswählen</translation>
    </message>
    <message>
        <source>Recursive Sub Directory</source>
        <translation>Unterverzeichnisse einbeziehen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>Please select the type of file to be converted!</source>
        <translation>Bitte die Art der umzuwandelnden Dateien wählen!</translation>
    </message>
</context>
<context>
    <name>dkscr::ConvertCommand</name>
    <message>
        <source>Nothing to convert: every entry has been converted (or has failed) before. To convert entries again, select them and choose Convert, ReConvert Selected.</source>
        <translation>Nichts umzuwandeln: Jeder Eintrag wurde schon umgewandelt (oder ist gescheitert). Um Einträge erneut umzuwandeln, sie auswählen und Umwandeln, Ausgewählte erneut umwandeln wählen.</translation>
    </message>
    <message>
        <source>Nothing to convert: no entry is selected.</source>
        <translation>Nichts umzuwandeln: Kein Eintrag ist ausgewählt.</translation>
    </message>
    <message>
        <source>Nothing to convert: the selected entries have been converted (or have failed) before. ReConvert Selected converts them again.</source>
        <translation>Nichts umzuwandeln: Die ausgewählten Einträge wurden schon umgewandelt (oder sind gescheitert). Ausgewählte erneut umwandeln wandelt sie noch einmal um.</translation>
    </message>
    <message>
        <source>Nothing to convert again: the selected entries have not been converted yet. Convert Selected converts them.</source>
        <translation>Nichts erneut umzuwandeln: Die ausgewählten Einträge wurden noch nicht umgewandelt. Ausgewählte umwandeln wandelt sie um.</translation>
    </message>
</context>
<context>
    <name>dkscr::ConvertProgressDialog</name>
    <message>
        <source>Converting Files...</source>
        <translation>Dateien werden umgewandelt...</translation>
    </message>
    <message>
        <source>Press CANCEL to abort current operation.</source>
        <translation>ABBRECHEN beendet den laufenden Vorgang.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>dkscr::FileTableModel</name>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Source file</source>
        <translation>Quelldatei</translation>
    </message>
    <message>
        <source>Size(Byte)</source>
        <translation>Größe(Byte)</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Target file</source>
        <translation>Zieldatei</translation>
    </message>
    <message>
        <source>Convert Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Not converted</source>
        <translation>Nicht umgewandelt</translation>
    </message>
    <message>
        <source>Converted</source>
        <translation>Umgewandelt</translation>
    </message>
    <message>
        <source>Converted, no text found</source>
        <translation>Umgewandelt, kein Text gefunden</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Gescheitert</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>Unknown state</source>
        <translation>Unbekannter Status</translation>
    </message>
    <message>
        <source>%1 (%2 bytes)</source>
        <translation>%1 (%2 Byte)</translation>
    </message>
</context>
<context>
    <name>dkscr::FolderListDialog</name>
    <message>
        <source>Directory</source>
        <translation>Verzeichnis</translation>
    </message>
    <message>
        <source>List of directories:</source>
        <translation>Liste der Verzeichnisse:</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Durchsuchen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>Select directory</source>
        <translation>Verzeichnis wählen</translation>
    </message>
</context>
<context>
    <name>dkscr::HelpWindow</name>
    <message>
        <source>Kel-Deckscribe Help</source>
        <translation>Hilfe zu Kel-Deckscribe</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
</context>
<context>
    <name>dkscr::LogDialog</name>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Activity log</source>
        <translation>Aktivitätsprotokoll</translation>
    </message>
    <message>
        <source>Not logging</source>
        <translation>Nicht protokollieren</translation>
    </message>
    <message>
        <source>Clear &amp;Log</source>
        <translation>Protokoll &amp;leeren</translation>
    </message>
    <message>
        <source>&amp;Export to file</source>
        <translation>In Datei &amp;exportieren</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Unable to read %1</source>
        <translation>%1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Unable to delete %1: %2</source>
        <translation>%1 kann nicht gelöscht werden: %2</translation>
    </message>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Kel-Deckscribe Log File(*.log)</source>
        <translation>Kel-Deckscribe-Protokolldatei(*.log)</translation>
    </message>
</context>
<context>
    <name>dkscr::MainWindow</name>
    <message>
        <source>File [%1] already added!</source>
        <translation>Datei [%1] ist schon in der Liste!</translation>
    </message>
    <message>
        <source>File [%1] type not support!</source>
        <translation>Dateityp von [%1] wird nicht unterstützt!</translation>
    </message>
    <message>
        <source>Done Scanning, add %1 file(s).</source>
        <translation>Suche beendet, %1 Datei(en) hinzugefügt.</translation>
    </message>
    <message>
        <source>No program could be started to open %1</source>
        <translation>Kein Programm konnte gestartet werden, um %1 zu öffnen</translation>
    </message>
    <message>
        <source>No file manager could be started to show %1</source>
        <translation>Kein Dateimanager konnte gestartet werden, um %1 zu zeigen</translation>
    </message>
    <message>
        <source>Another Deckscribe window keeps the file list %1: this window starts with an empty list and does not save it.</source>
        <translation>Ein anderes Deckscribe-Fenster führt die Dateiliste %1: Dieses Fenster beginnt mit einer leeren Liste und speichert sie nicht.</translation>
    </message>
    <message>
        <source>it is damaged</source>
        <translation>sie ist beschädigt</translation>
    </message>
    <message>
        <source>it is not a list file</source>
        <translation>sie ist keine Listendatei</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>sie kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The saved file list %1 could not be loaded completely (%2) and could not be kept aside (%3). It will not be replaced when the program ends.</source>
        <translation>Die gespeicherte Dateiliste %1 konnte nicht vollständig geladen (%2) und nicht beiseitegelegt werden (%3). Sie wird beim Beenden nicht ersetzt.</translation>
    </message>
    <message>
        <source>The saved file list %1 could not be loaded completely (%2). It was kept as %3.</source>
        <translation>Die gespeicherte Dateiliste %1 konnte nicht vollständig geladen werden (%2). Sie wurde als %3 aufbewahrt.</translation>
    </message>
    <message>
        <source>Select %1 file(s).</source>
        <translation>%1 Datei(en) ausgewählt.</translation>
    </message>
    <message>
        <source>%1 does not exist yet: convert the entry first.</source>
        <translation>%1 existiert noch nicht: Den Eintrag zuerst umwandeln.</translation>
    </message>
    <message>
        <source>%1 converted (%2 without text)</source>
        <translation>%1 umgewandelt (%2 ohne Text)</translation>
    </message>
    <message>
        <source>%1 converted</source>
        <translation>%1 umgewandelt</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 gescheitert</translation>
    </message>
    <message>
        <source>%1 skipped</source>
        <translation>%1 übersprungen</translation>
    </message>
    <message>
        <source>The run stopped: the target folder %1 cannot be written (%2).</source>
        <translation>Die Umwandlung wurde angehalten: In den Zielordner %1 kann nicht geschrieben werden (%2).</translation>
    </message>
    <message>
        <source>Cancelled after %1 file(s): %2</source>
        <translation>Abgebrochen nach %1 Datei(en): %2</translation>
    </message>
    <message>
        <source>%1 File(s)</source>
        <translation>%1 Datei(en)</translation>
    </message>
    <message>
        <source>Kel-Deckscribe</source>
        <translation>Kel-Deckscribe</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Con&amp;vert</source>
        <translation>Um&amp;wandeln</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Launch</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Explore</source>
        <translation>Im Dateimanager &amp;zeigen</translation>
    </message>
    <message>
        <source>Launch</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Explore</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Presentations to convert</source>
        <translation>Umzuwandelnde Präsentationen</translation>
    </message>
    <message>
        <source>Kel-Deckscribe 3.0</source>
        <translation>Kel-Deckscribe 3.0</translation>
    </message>
</context>
<context>
    <name>dkscr::OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>File Extension</source>
        <translation>Dateiendung</translation>
    </message>
    <message>
        <source>Special</source>
        <translation>Speziell</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Target file directory same as source file</source>
        <translation>Zieldatei im Verzeichnis der Quelldatei</translation>
    </message>
    <message>
        <source>Target file dir</source>
        <translation>Verzeichnis der Zieldateien</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Durchsuchen</translation>
    </message>
    <message>
        <source>When target file exists</source>
        <translation>Wenn die Zieldatei existiert</translation>
    </message>
    <message>
        <source>Auto rename</source>
        <translation>Automatisch umbenennen</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Prompt</source>
        <translation>Nachfragen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>File code page</source>
        <translation>Codepage der Dateien</translation>
    </message>
    <message>
        <source>Text file content</source>
        <translation>Inhalt der Textdateien</translation>
    </message>
    <message>
        <source>Text of the slides</source>
        <translation>Text der Folien</translation>
    </message>
    <message>
        <source>Complete text (notes, tables, comments)</source>
        <translation>Vollständiger Text (Notizen, Tabellen, Kommentare)</translation>
    </message>
    <message>
        <source>Markdown (.md)</source>
        <translation>Markdown (.md)</translation>
    </message>
    <message>
        <source>JSON (.json)</source>
        <translation>JSON (.json)</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Default ext</source>
        <translation>Standardendung</translation>
    </message>
    <message>
        <source>User defined</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>Text output order</source>
        <translation>Reihenfolge des Textes</translation>
    </message>
    <message>
        <source>Default reading order</source>
        <translation>Übliche Lesereihenfolge</translation>
    </message>
    <message>
        <source>Maintain original layout</source>
        <translation>Ursprüngliches Layout beibehalten</translation>
    </message>
    <message>
        <source>Keep raw order</source>
        <translation>Rohe Reihenfolge beibehalten</translation>
    </message>
    <message>
        <source>Insert page break</source>
        <translation>Seitenumbruch einfügen</translation>
    </message>
    <message>
        <source>DOC</source>
        <translation>DOC</translation>
    </message>
    <message>
        <source>Keep raw characters</source>
        <translation>Rohe Zeichen beibehalten</translation>
    </message>
    <message>
        <source>Code page identifier must be numeric!</source>
        <translation>Die Codepage muss eine Zahl sein!</translation>
    </message>
    <message>
        <source>Select target directory</source>
        <translation>Zielverzeichnis wählen</translation>
    </message>
    <message>
        <source>File types</source>
        <translation>Dateitypen</translation>
    </message>
</context>
<context>
    <name>dkscr::OverwritePromptDialog</name>
    <message>
        <source>Kel-Deckscribe</source>
        <translation>Kel-Deckscribe</translation>
    </message>
    <message>
        <source>The file already exist.</source>
        <translation>Die Datei existiert bereits.</translation>
    </message>
    <message>
        <source>&amp;Auto Rename</source>
        <translation>&amp;Automatisch umbenennen</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>Über&amp;schreiben</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Über&amp;springen</translation>
    </message>
    <message>
        <source>&amp;Stop Convert</source>
        <translation>Umwandlung an&amp;halten</translation>
    </message>
</context>
<context>
    <name>dkscr::PreviewPane</name>
    <message>
        <source>Text of the selected entry</source>
        <translation>Text des ausgewählten Eintrags</translation>
    </message>
    <message>
        <source>Select an entry to see its text here.</source>
        <translation>Einen Eintrag auswählen, um seinen Text hier zu sehen.</translation>
    </message>
    <message>
        <source>The text appears here once the entry has been converted.</source>
        <translation>Der Text erscheint hier, sobald der Eintrag umgewandelt ist.</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 (its beginning), written %2</source>
        <translation>%1 (sein Anfang), geschrieben %2</translation>
    </message>
    <message>
        <source>%1, written %2</source>
        <translation>%1, geschrieben %2</translation>
    </message>
</context>
<context>
    <name>dkscr::ScanProgressDialog</name>
    <message>
        <source>Searching Files ...</source>
        <translation>Dateien werden gesucht ...</translation>
    </message>
    <message>
        <source>Press to abort search operation</source>
        <translation>Suche abbrechen</translation>
    </message>
</context>
</TS>
