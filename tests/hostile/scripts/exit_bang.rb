puts "before"
exit!
