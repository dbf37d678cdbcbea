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
        <source> byte</source>
        <comment>55284</comment>
        <translation> Byte</translation>
    </message>
    <message>
        <source> bytes</source>
        <comment>55285</comment>
        <translation> Bytes</translation>
    </message>
</context>
</TS>
