#pragma once
// The image indices with a fixed meaning. Both image lists of the icon manager hold the same
// 38 built-in pictures at 0..37, so an index names the same picture in the small and the
// large list; pictures found at run time follow from 38 on.

enum EIconIndex : int {
  eIcon_NotKnown = -1,        // a record's icon before it has been computed
  eIcon_DeviceRoot = 0,
  eIcon_DeviceRootOpen = 1,
  eIcon_Folder = 2,
  eIcon_FolderOpen = 3,
  eIcon_StorageCard = 4,
  eIcon_StorageCardOpen = 5,
  eIcon_MusicFolder = 6,
  eIcon_MusicFolderOpen = 7,
  eIcon_WindowsFolder = 8,
  eIcon_WindowsFolderOpen = 9,
  eIcon_ProgramFilesFolder = 10,
  eIcon_AppDataFolder = 11,
  eIcon_DocumentsFolder = 12,
  eIcon_ParentFolder = 13,
  eIcon_AudioFile = 14,
  eIcon_VideoFile = 15,
  eIcon_ZipArchive = 16,      // also a shortcut whose target cannot be read
  eIcon_ZipFolder = 17,
  eIcon_PlainFile = 18,       // no extension; files whose own icon cannot be used
  eIcon_Unknown = 19,         // unknown type; files whose icon is not computed yet
  eIcon_TextFile = 20,
  eIcon_ImageFile = 21,
  eIcon_Program = 22,
  eIcon_EncryptedFile = 23,
  eIcon_Registry = 24,
  // 25..34 are the registry list's pictures: a key, then one per value type code 0..7.
  eIcon_RegistryKey = 25,
  eIcon_RegistryKeyOpen = 26,
  eIcon_RegistryUnknown = 27,
  eIcon_RegistryDword = 28,
  eIcon_RegistryDwordBigEndian = 29,
  eIcon_RegistryBinary = 30,
  eIcon_RegistryResourceList = 31,
  eIcon_RegistryString = 32,
  eIcon_RegistryExpandString = 33,
  eIcon_RegistryMultiString = 34,
  eIcon_Shortcut = 35,
  eIcon_Document = 36,
  eIcon_RecycleBin = 37,
};

constexpr int kBuiltInIconCount = 38;
