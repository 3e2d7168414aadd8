# Shared tests whose expectations are Linux's own: the folder separator in listed backup paths
# ('\' on Windows), strerror's words, and $HOME as the default folder (%APPDATA% on Windows).
# The Windows side of each is tested in windows/.
set_tests_properties(
  Backups.NamesSayWhenWhatAndWhichController
  Backups.TheStoreKeepsTheNewestThousand
  Backups.AFolderThatCannotBeMadeIsReported
  Backups.FolderFollowsXdgDataHome
  BackupKeeper.EveryReadAndEveryWriteIsKept
  BackupKeeper.AFolderThatCannotBeWrittenIsReportedAndTheReadGoesOn
  PROPERTIES DISABLED TRUE)
