puts "before"
line = gets
puts line.inspect
