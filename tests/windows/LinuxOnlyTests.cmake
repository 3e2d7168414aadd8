# Shared tests whose expectations are Linux's own: the folder separator in listed backup paths
# ('\' on Windows), strerror's words, $HOME as the default folder (%APPDATA% on Windows), and a
# port bound by a symbolic link.
# The Windows side of each is tested in windows/.
set_tests_properties(
  Backups.NamesSayWhenWhatAndWhichController
  Backups.TheStoreKeepsTheNewestThousand
  Backups.AFolderThatCannotBeMadeIsReported
  Backups.FolderFollowsXdgDataHome
  BackupKeeper.EveryReadAndEveryWriteIsKept
  BackupKeeper.AFolderThatCannotBeWrittenIsReportedAndTheReadGoesOn
  JsonShapes.EveryDocumentedShapeIsWhatTheCommandPrints
  PROPERTIES DISABLED TRUE)
