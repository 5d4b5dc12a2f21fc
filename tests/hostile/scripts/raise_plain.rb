puts "before"
raise
