puts "before"
STDOUT.puts "to the terminal"
puts "after"
