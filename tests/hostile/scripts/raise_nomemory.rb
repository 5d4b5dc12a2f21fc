puts "before"
raise NoMemoryError, "pretend"
