// The system's texts, by number (see core/texts.h). Keep the rows sorted by number; a row's
// third argument is its number as a string, the disambiguation the translation is keyed by.
// Numbers from 900000 up are this program's own, for texts the handheld's table did not hold.
#include <QtGlobal>

#include "core/texts.h"

namespace core {
namespace {

constexpr CTextEntry kTexts[] = {
    // Message box buttons.
    {55005, QT_TRANSLATE_NOOP3("pinbro", "Cancel", "55005")},
    // Display formatting.
    {55006, QT_TRANSLATE_NOOP3("pinbro", ".%1 GB", "55006")},
    {55007, QT_TRANSLATE_NOOP3("pinbro", ".%1 MB", "55007")},
    {55008, QT_TRANSLATE_NOOP3("pinbro", ".%1 KB", "55008")},
    {55009, QT_TRANSLATE_NOOP3("pinbro", "N/A", "55009")},
    {55092, QT_TRANSLATE_NOOP3("pinbro", "Yes to all", "55092")},
    {55093, QT_TRANSLATE_NOOP3("pinbro", "No to all", "55093")},
    {55115, QT_TRANSLATE_NOOP3("pinbro", "OK", "55115")},
    {55121, QT_TRANSLATE_NOOP3("pinbro", "Close", "55121")},
    {55122, QT_TRANSLATE_NOOP3("pinbro", "Yes", "55122")},
    {55123, QT_TRANSLATE_NOOP3("pinbro", "No", "55123")},
    {55131, QT_TRANSLATE_NOOP3("pinbro", "second", "55131")},
    {55132, QT_TRANSLATE_NOOP3("pinbro", "seconds", "55132")},
    {55133, QT_TRANSLATE_NOOP3("pinbro", "minute", "55133")},
    {55134, QT_TRANSLATE_NOOP3("pinbro", "minutes", "55134")},
    {55135, QT_TRANSLATE_NOOP3("pinbro", "hour", "55135")},
    {55136, QT_TRANSLATE_NOOP3("pinbro", "hours", "55136")},
    {55137, QT_TRANSLATE_NOOP3("pinbro", "day", "55137")},
    {55138, QT_TRANSLATE_NOOP3("pinbro", "days", "55138")},
    // Device and favorites.
    {55176, QT_TRANSLATE_NOOP3("pinbro", "My Device", "55176")},
    {55185, QT_TRANSLATE_NOOP3("pinbro", "My Documents", "55185")},
    {55187, QT_TRANSLATE_NOOP3("pinbro", "Programs", "55187")},
    {55188, QT_TRANSLATE_NOOP3("pinbro", "Startup", "55188")},
    {55189, QT_TRANSLATE_NOOP3("pinbro", "Windows", "55189")},
    // Profiles.
    {55222, QT_TRANSLATE_NOOP3("pinbro", "Manage profiles", "55222")},
    {55223, QT_TRANSLATE_NOOP3("pinbro", "Add, delete or modify user profiles", "55223")},
    {55224, QT_TRANSLATE_NOOP3("pinbro", "Name:", "55224")},
    {55225, QT_TRANSLATE_NOOP3("pinbro", "Details:", "55225")},
    {55227, QT_TRANSLATE_NOOP3("pinbro", "Default profile", "55227")},
    {55228, QT_TRANSLATE_NOOP3("pinbro", "Edit profile", "55228")},
    {55229, QT_TRANSLATE_NOOP3("pinbro", "Edit user profile", "55229")},
    {55230, QT_TRANSLATE_NOOP3("pinbro",
                               "The profile \"%1\" already exists. Please choose another name or "
                               "delete the existing profile first.",
                               "55230")},
    {55231, QT_TRANSLATE_NOOP3("pinbro", "Profile already exists", "55231")},
    {55232, QT_TRANSLATE_NOOP3("pinbro", "The profile already exists", "55232")},
    {55233, QT_TRANSLATE_NOOP3("pinbro", "Please choose a valid profile from the list firts.",
                               "55233")},
    {55234, QT_TRANSLATE_NOOP3("pinbro", "No profile selected", "55234")},
    {55235, QT_TRANSLATE_NOOP3("pinbro", "Please select a valid profile", "55235")},
    {55236, QT_TRANSLATE_NOOP3("pinbro",
                               "The default profile cannot be deleted. Please choose another "
                               "profile.",
                               "55236")},
    {55237, QT_TRANSLATE_NOOP3("pinbro", "Profile delete error", "55237")},
    {55238, QT_TRANSLATE_NOOP3("pinbro", "Can't delete the default profile", "55238")},
    {55239, QT_TRANSLATE_NOOP3("pinbro",
                               "Warning, profile \"%1\" is about to be deleted. Are you sure?",
                               "55239")},
    {55240, QT_TRANSLATE_NOOP3("pinbro", "Delete profile", "55240")},
    {55241, QT_TRANSLATE_NOOP3("pinbro", "Delete profile warning", "55241")},
    {55242, QT_TRANSLATE_NOOP3("pinbro",
                               "The active profile has been deleted, switching to the default "
                               "profile.",
                               "55242")},
    {55243, QT_TRANSLATE_NOOP3("pinbro", "Notice", "55243")},
    {55244, QT_TRANSLATE_NOOP3("pinbro", "Deleted the active profile", "55244")},
    {55245, QT_TRANSLATE_NOOP3("pinbro",
                               "The default profile cannot be modified. Please choose another "
                               "profile.",
                               "55245")},
    {55246, QT_TRANSLATE_NOOP3("pinbro", "Edit profile error", "55246")},
    {55247, QT_TRANSLATE_NOOP3("pinbro", "Can't edit the default profile", "55247")},
    {55248, QT_TRANSLATE_NOOP3("pinbro",
                               "The profile name cannot be an empty string. Please enter a valid "
                               "profile name.",
                               "55248")},
    {55249, QT_TRANSLATE_NOOP3("pinbro", "Invalid profile name", "55249")},
    {55250, QT_TRANSLATE_NOOP3("pinbro", "Profile name cannot be empty", "55250")},
    {55284, QT_TRANSLATE_NOOP3("pinbro", " byte", "55284")},
    {55285, QT_TRANSLATE_NOOP3("pinbro", " bytes", "55285")},
    // Start-up.
    {61210, QT_TRANSLATE_NOOP3("pinbro",
                               "Would you like to put a link to %1 in your Start Menu->Programs "
                               "folder? Tap 'Yes' to create the link or 'No' to cancel.",
                               "61210")},
    {61211, QT_TRANSLATE_NOOP3("pinbro", "Shell integration", "61211")},
    {61212, QT_TRANSLATE_NOOP3("pinbro", "Question", "61212")},
    {61213, QT_TRANSLATE_NOOP3("pinbro",
                               "Warning, you are using a version of %1 that has been designed for "
                               "another OS version (%2). Please visit %3 and download the '%4' "
                               "build of %5.",
                               "61213")},
    {61214, QT_TRANSLATE_NOOP3("pinbro", "Warning!", "61214")},
    {61215, QT_TRANSLATE_NOOP3("pinbro", "Incorrect product build/version", "61215")},
    // This program's own texts.
    {900001, QT_TRANSLATE_NOOP3("pinbro", "GB", "900001")},
    {900002, QT_TRANSLATE_NOOP3("pinbro", "MB", "900002")},
    {900003, QT_TRANSLATE_NOOP3("pinbro", "KB", "900003")},
    {900004, QT_TRANSLATE_NOOP3("pinbro", ", ", "900004")},
    // The profile and message box dialogs.
    {900500, QT_TRANSLATE_NOOP3("pinbro", "Name", "900500")},
    {900501, QT_TRANSLATE_NOOP3("pinbro", "Details", "900501")},
    {900502, QT_TRANSLATE_NOOP3("pinbro", "Add", "900502")},
    {900503, QT_TRANSLATE_NOOP3("pinbro", "Edit", "900503")},
    {900504, QT_TRANSLATE_NOOP3("pinbro", "Delete", "900504")},
    {900505, QT_TRANSLATE_NOOP3("pinbro", "Activate", "900505")},
    {900506, QT_TRANSLATE_NOOP3("pinbro", "Do not ask again", "900506")},
};

}  // namespace

std::span<const CTextEntry> TextTable() { return kTexts; }

}  // namespace core
