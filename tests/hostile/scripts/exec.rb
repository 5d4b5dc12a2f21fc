puts "before"
exec("true")
puts "after"
