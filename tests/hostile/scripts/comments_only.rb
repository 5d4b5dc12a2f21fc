# nothing here
# =begin is not a comment here
  # indented
