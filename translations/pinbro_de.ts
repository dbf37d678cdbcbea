<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- German texts. A message is keyed by its English source and its number (the comment). -->
<TS version="2.1" language="de_DE">
<context>
    <name>pinbro</name>
    <message>
        <source>Cancel</source>
        <comment>55005</comment>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>N/A</source>
        <comment>55009</comment>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Yes to all</source>
        <comment>55092</comment>
        <translation>Ja, alle</translation>
    </message>
    <message>
        <source>No to all</source>
        <comment>55093</comment>
        <translation>Nein, keine</translation>
    </message>
    <message>
        <source>OK</source>
        <comment>55115</comment>
        <translation>OK</translation>
    </message>
    <message>
        <source>File folder</source>
        <comment>55117</comment>
        <translation>Dateiordner</translation>
    </message>
    <message>
        <source>Close</source>
        <comment>55121</comment>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>55122</comment>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <comment>55123</comment>
        <translation>Nein</translation>
    </message>
    <message>
        <source>second</source>
        <comment>55131</comment>
        <translation>Sekunde</translation>
    </message>
    <message>
        <source>seconds</source>
        <comment>55132</comment>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>minute</source>
        <comment>55133</comment>
        <translation>Minute</translation>
    </message>
    <message>
        <source>minutes</source>
        <comment>55134</comment>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Delete</source>
        <comment>55151</comment>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete file &quot;%1&quot;?</source>
        <comment>55152</comment>
        <translation>Möchten Sie die Datei „%1“ wirklich löschen?</translation>
    </message>
    <message>
        <source>Replace Existing File</source>
        <comment>55158</comment>
        <translation>Vorhandene Datei ersetzen</translation>
    </message>
    <message>
        <source>Manage profiles</source>
        <comment>55222</comment>
        <translation>Profile verwalten</translation>
    </message>
    <message>
        <source>Add, delete or modify user profiles</source>
        <comment>55223</comment>
        <translation>Benutzerprofile hinzufügen, löschen oder ändern</translation>
    </message>
    <message>
        <source>Edit profile</source>
        <comment>55228</comment>
        <translation>Profil bearbeiten</translation>
    </message>
    <message>
        <source>Confirm delete operation</source>
        <comment>55283</comment>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source> byte</source>
        <comment>55284</comment>
        <translation> Byte</translation>
    </message>
    <message>
        <source> bytes</source>
        <comment>55285</comment>
        <translation> Bytes</translation>
    </message>
    <message>
        <source>Confirm delete operation</source>
        <comment>55287</comment>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Recycle Bin</source>
        <comment>61230</comment>
        <translation>Papierkorb</translation>
    </message>
    <message>
        <source>Name</source>
        <comment>900102</comment>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <comment>900103</comment>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>900104</comment>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Type</source>
        <comment>900106</comment>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Empty folder.</source>
        <comment>900107</comment>
        <translation>Leerer Ordner.</translation>
    </message>
    <message>
        <source>Folders: %1, Files: %2</source>
        <comment>900108</comment>
        <translation>Ordner: %1, Dateien: %2</translation>
    </message>
    <message>
        <source>Name</source>
        <comment>900500</comment>
        <translation>Name</translation>
    </message>
    <message>
        <source>Delete</source>
        <comment>900504</comment>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <comment>900507</comment>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>900508</comment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <comment>900509</comment>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <comment>900512</comment>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Refresh</source>
        <comment>900557</comment>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Delete</source>
        <comment>900558</comment>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Rename</source>
        <comment>900563</comment>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Select all</source>
        <comment>900572</comment>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Exit</source>
        <comment>900575</comment>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Rename</source>
        <comment>900584</comment>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>New name:</source>
        <comment>900585</comment>
        <translation>Neuer Name:</translation>
    </message>
</context>
</TS>
