at_exit { puts "at exit" }
puts "registered"
